// The game's window class, whose procedure hands every message to the game.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/cursor.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"
#include "platform/win32/message_service.h"
#include "platform/win32/message_translation.h"
#include "platform/win32/pause.h"
#include "platform/win32/win32_globals.h"

namespace {

constexpr WORD program_icon_id = 101;

platform::WindowProc game_window_proc = nullptr;

LRESULT CALLBACK native_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The last message a window receives; a stale handle must not outlive it,
  // or a late close request would go to whatever window reuses the value.
  if (message == WM_NCDESTROY && window == win32::main_window) {
    win32::main_window = nullptr;
    // No window, nothing to pause: the game must see its quit message.
    win32::pause_end(GetTickCount());
  }
  // The pause and the display's mode are the backend's: the game sees these
  // messages as before.
  switch (message) {
    case WM_KEYDOWN:
      win32::note_key_down(wparam, lparam, static_cast<DWORD>(GetMessageTime()));
      break;
    case WM_SYSKEYDOWN:
      win32::note_system_key_down(wparam, lparam);
      break;
    case WM_ACTIVATEAPP:
      win32::note_activation(wparam != FALSE);
      break;
    case WM_SYSCOMMAND:
      // Alt alone, or Alt+Enter, would open the window menu and hold the
      // game in the menu's own loop.
      if ((wparam & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_SETCURSOR:
      if (win32::hide_cursor_at(LOWORD(lparam))) return TRUE;
      break;
    case WM_ENTERSIZEMOVE:
      // Moving or sizing the window runs the system's own loop: the game's
      // clock waits for it, as in a pause.
      win32::hold_clock(GetTickCount());
      break;
    case WM_EXITSIZEMOVE:
      win32::release_clock(GetTickCount());
      break;
    case WM_ERASEBKGND:
      // Once the display is open the frame (and in a window its black bars)
      // covers the whole client area; an erase would blank a picture that
      // waits for a key, or the paused frame.
      if (win32::primary_surface != nullptr) return 1;
      break;
    default:
      break;
  }
  if (game_window_proc == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  const LRESULT result = static_cast<LRESULT>(
      game_window_proc(win32::translate_message(window, message, wparam, lparam)));
  if (message == WM_PAINT || message == WM_SIZE) win32::repaint_window();
  return result;
}

}  // namespace

namespace platform {

bool register_window_class(const char* class_name, WindowProc proc) {
  if (class_name == nullptr || proc == nullptr) {
    win32::record_failure("no window class name or procedure");
    return false;
  }
  game_window_proc = proc;

  WNDCLASSEXA window_class = {};
  // The record's size as this target lays it out (48 bytes on 32-bit
  // Windows, 80 on 64-bit); any other value makes the registration fail.
  window_class.cbSize = sizeof(WNDCLASSEXA);
  window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  window_class.lpfnWndProc = native_window_proc;
  window_class.cbClsExtra = 0;
  window_class.cbWndExtra = 0;
  window_class.hInstance = win32::app_instance;
  window_class.hIcon = LoadIconA(win32::app_instance, MAKEINTRESOURCEA(program_icon_id));
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszMenuName = nullptr;
  window_class.lpszClassName = class_name;
  // No system icon has this number: the field stays null and the system
  // takes the small icon from hIcon.
  window_class.hIconSm = LoadIconA(nullptr, MAKEINTRESOURCEA(program_icon_id));

  if (RegisterClassExA(&window_class) == 0) {
    win32::record_system_failure("RegisterClassExA");
    return false;
  }
  return true;
}

}  // namespace platform
