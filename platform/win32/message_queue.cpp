// The thread's message queue: fetching without waiting, dispatching, and the
// default handling of what the game leaves alone.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/gamepads.h"
#include "platform/win32/message_service.h"
#include "platform/win32/message_translation.h"
#include "platform/win32/pause.h"
#include "platform/win32/win32_globals.h"

namespace {

// The whole record of the message fetched last: dispatching it again needs
// its time and cursor position too, which the game's view doesn't carry.
MSG fetched_message = {};

bool is_fetched_message(const platform::WindowMessage& message) {
  return message.native[0] == reinterpret_cast<std::uintptr_t>(fetched_message.hwnd) &&
         message.native[1] == static_cast<std::uintptr_t>(fetched_message.message) &&
         message.native[2] == static_cast<std::uintptr_t>(fetched_message.wParam) &&
         message.native[3] == static_cast<std::uintptr_t>(fetched_message.lParam);
}

HWND native_window(const platform::WindowMessage& message) {
  return reinterpret_cast<HWND>(message.native[0]);
}

}  // namespace

namespace platform {

bool fetch_message(WindowMessage& out) {
  // Between two steps: a switch of the display asked for during the last
  // one is made now, and the pads are read, even when the step left no time
  // to rest (a slow machine, or a window scaled by the system).
  win32::apply_display_requests();
  win32::poll_gamepads(GameActivity::play);
  // The game's messages wait out a pause in the queue, in their order,
  // unless one of them must be handled now.
  if (win32::paused()) {
    if (!win32::pause_must_give_way()) return false;
    win32::pause_end(GetTickCount());
  }
  MSG message = {};
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  fetched_message = message;
  out = win32::translate_message(message.hwnd, message.message, message.wParam, message.lParam);
  return true;
}

void dispatch_message(const WindowMessage& message) {
  MSG native = {};
  if (is_fetched_message(message)) {
    native = fetched_message;
  } else {
    native.hwnd = native_window(message);
    native.message = static_cast<UINT>(message.native[1]);
    native.wParam = static_cast<WPARAM>(message.native[2]);
    native.lParam = static_cast<LPARAM>(message.native[3]);
    native.time = GetMessageTime();
  }
  TranslateMessage(&native);
  DispatchMessageA(&native);
}

std::intptr_t default_window_proc(const WindowMessage& message) {
  return static_cast<std::intptr_t>(DefWindowProcA(
      native_window(message), static_cast<UINT>(message.native[1]),
      static_cast<WPARAM>(message.native[2]), static_cast<LPARAM>(message.native[3])));
}

void validate_window(const WindowMessage& message) {
  HWND window = native_window(message);
  if (window == nullptr) window = win32::main_window;
  if (window == nullptr) return;
  PAINTSTRUCT paint = {};
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
}

void post_quit(int exit_code) {
  PostQuitMessage(exit_code);
}

}  // namespace platform
