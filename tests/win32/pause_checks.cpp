#include "check.h"
void check_pause() {}
