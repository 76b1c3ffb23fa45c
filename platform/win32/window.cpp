// The game window itself: creation, close requests and the cursor.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/failure_text.h"
#include "platform/win32/win32_globals.h"

namespace platform {

bool create_window(const char* class_name, const char* title, int width, int height) {
  HWND window = CreateWindowExA(0, class_name, title, WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                nullptr, nullptr, win32::app_instance, nullptr);
  if (window == nullptr) {
    win32::record_system_failure("CreateWindowExA");
    return false;
  }
  win32::main_window = window;
  return true;
}

void post_close_request() {
  if (win32::main_window == nullptr) return;
  PostMessageA(win32::main_window, WM_CLOSE, 0, 0);
}

void hide_cursor() {
  ShowCursor(FALSE);
}

}  // namespace platform
