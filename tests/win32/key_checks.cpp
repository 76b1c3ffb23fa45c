// Held keys as the system reports them.
#include <windows.h>

#include "check.h"
#include "platform/platform.h"

namespace {

void send_key(WORD virtual_key, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  if (virtual_key == VK_LEFT || virtual_key == VK_RIGHT) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &input, sizeof input);
  Sleep(50);
}

}  // namespace

void check_keys() {
  begin_group("keys");
  const struct {
    platform::Key key;
    WORD virtual_key;
    const char* name;
  } keys[] = {{platform::Key::left, VK_LEFT, "Left"},
              {platform::Key::right, VK_RIGHT, "Right"},
              {platform::Key::escape, VK_ESCAPE, "Escape"},
              {platform::Key::enter, VK_RETURN, "Enter"}};
  for (const auto& held : keys) {
    send_key(held.virtual_key, true);
    for (const auto& other : keys) {
      const bool down = platform::key_down(other.key);
      check(down == (other.key == held.key), std::string(other.name) +
                                                 (down ? " is down" : " is up") + " while " +
                                                 held.name + " is held");
    }
    send_key(held.virtual_key, false);
    check(!platform::key_down(held.key), std::string(held.name) + " is up once released");
  }
}
