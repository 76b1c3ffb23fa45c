#include "platform/win32/win32_globals.h"

namespace win32 {

HINSTANCE app_instance = nullptr;
HWND main_window = nullptr;

}  // namespace win32
