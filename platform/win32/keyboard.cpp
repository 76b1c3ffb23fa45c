// Held keys, polled from the system's own key state.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/pause.h"

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
  // An Escape that ended a pause counts as held once, however short it was.
  if (key == Key::escape && win32::take_escape_latch()) return true;
  // Only the high bit means "down now"; the low bit tells of presses since
  // the last poll, which a held-key poll must not count.
  return (GetAsyncKeyState(code) & 0x8000) != 0;
}

}  // namespace platform
