// Windows messages as the game sees them.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace win32 {

// The game's view of one Windows message; the four native values ride along
// so that default handling gets exactly what Windows sent.
platform::WindowMessage translate_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace win32
