// The game window itself: creation, close requests and the cursor.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/cursor.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"
#include "platform/win32/win32_globals.h"

namespace {

bool cursor_hidden = false;
// Whether this program's ShowCursor count stands lowered by one.
bool cursor_count_lowered = false;

}  // namespace

namespace win32 {

void fit_cursor_to_display() {
  if (!cursor_hidden) return;
  const bool lower = display_mode == DisplayMode::full_screen;
  if (lower == cursor_count_lowered) return;
  ShowCursor(lower ? FALSE : TRUE);
  cursor_count_lowered = lower;
}

bool hide_cursor_at(WORD hit_test) {
  if (!cursor_hidden || display_mode != DisplayMode::window || hit_test != HTCLIENT) return false;
  SetCursor(nullptr);
  return true;
}

}  // namespace win32

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
  cursor_hidden = true;
  win32::fit_cursor_to_display();
}

}  // namespace platform
