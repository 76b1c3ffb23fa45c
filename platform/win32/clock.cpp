// Time: the system's millisecond tick and a plain sleep.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

std::uint32_t tick_ms() {
  return GetTickCount();
}

void sleep_ms(std::uint32_t ms) {
  Sleep(ms);
}

}  // namespace platform
