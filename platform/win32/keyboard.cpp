// Held keys, polled from the system's own key state, and the presses the
// window's messages told of since the last poll.
#include "platform/win32/keyboard.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/gamepads.h"
#include "platform/win32/key_taps.h"
#include "platform/win32/message_service.h"
#include "platform/win32/pause.h"

namespace {

bool enter_switched_display = false;

bool async_down(int virtual_key) {
  // Only the high bit means "down now"; the low bit tells of presses since
  // the last poll, which a held-key poll must not count.
  return (GetAsyncKeyState(virtual_key) & 0x8000) != 0;
}

}  // namespace

namespace win32 {

void note_enter_switched_display() {
  enter_switched_display = true;
}

}  // namespace win32

namespace platform {

namespace {

int virtual_key(Key key) {
  switch (key) {
    case Key::left:
      return VK_LEFT;
    case Key::right:
      return VK_RIGHT;
    case Key::escape:
      return VK_ESCAPE;
    case Key::enter:
      return VK_RETURN;
  }
  return 0;
}

}  // namespace

bool key_down(Key key) {
  const int code = virtual_key(key);
  if (code == 0) return false;
  // An Alt+Enter waiting in the queue is seen before the key state it left.
  if (key == Key::enter) win32::take_alt_enter();
  const bool down = async_down(code);
  // Taken at every poll, so that a press counts once even while the key is
  // also held.
  const bool pressed = win32::take_key_press(key, down, GetTickCount());
  if (key == Key::escape) {
    // An Escape that ended a pause counts as held once, however short it was.
    if (win32::take_escape_latch()) return true;
    // A close request, or the quit message of a window already gone, waiting
    // in the queue reads as Escape: a key wait knows no other way out.
    if (win32::close_is_due()) return true;
  }
  if (win32::pad_holds(key)) return true;
  if (key == Key::enter) {
    if (!down) enter_switched_display = false;
    // Alt+Enter switches the display; it starts nothing.
    if (enter_switched_display || async_down(VK_MENU)) return false;
  }
  return down || pressed;
}

}  // namespace platform
