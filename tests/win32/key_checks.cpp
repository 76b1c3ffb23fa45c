// Held keys as the system reports them, and taps too short for any poll.
#include <windows.h>

#include "check.h"
#include "check_window.h"
#include "platform/platform.h"
#include "platform/win32/key_taps.h"

namespace {

struct GameKey {
  platform::Key key;
  WORD virtual_key;
  const char* name;
};

constexpr GameKey game_keys[] = {{platform::Key::left, VK_LEFT, "Left"},
                                 {platform::Key::right, VK_RIGHT, "Right"},
                                 {platform::Key::escape, VK_ESCAPE, "Escape"},
                                 {platform::Key::enter, VK_RETURN, "Enter"}};

// The repeat count 1, and for a repeat the bit that says the key was down.
constexpr LPARAM first_press = 1;
constexpr LPARAM repeat_press = 0x40000001;

// Down and up before the game looks: the key state never shows it held.
void post_tap(HWND window, WORD virtual_key) {
  PostMessageA(window, WM_KEYDOWN, virtual_key, first_press);
  PostMessageA(window, WM_KEYUP, virtual_key, 0xC0000001);
}

void check_taps(HWND window) {
  for (const GameKey& tap : game_keys) {
    // At a picture: the key wait's rest looks at the queue.
    post_tap(window, tap.virtual_key);
    platform::rest(platform::no_deadline);
    const bool at_picture = platform::key_down(tap.key);
    check(at_picture && !platform::key_down(tap.key),
          std::string(tap.name) + " tapped at a picture counts once");
    // In play: the game's loop takes the message between two steps. An
    // Enter there must not start the game at the next picture.
    platform::rest(15);
    post_tap(window, tap.virtual_key);
    dispatch_pending();
    const bool in_play = platform::key_down(tap.key);
    if (tap.key == platform::Key::enter) platform::rest(platform::no_deadline);
    check(in_play == (tap.key != platform::Key::enter) && !platform::key_down(tap.key),
          std::string(tap.name) + " tapped in play counts once, Enter not at all");
  }

  PostMessageA(window, WM_KEYDOWN, VK_RIGHT, repeat_press);
  platform::rest(platform::no_deadline);
  check(!platform::key_down(platform::Key::right), "a key's repeats are no taps");

  post_tap(window, VK_LEFT);
  platform::rest(platform::no_deadline);
  platform::key_down(platform::Key::enter);
  platform::rest(15);
  check(!platform::key_down(platform::Key::left),
        "a Left tapped at a picture that took Enter is no step in the play after it");

  // The game takes one message per step: a press can be held, seen by the
  // polls and let go before its message is dispatched.
  platform::rest(15);
  PostMessageA(window, WM_KEYDOWN, VK_LEFT, first_press);
  Sleep(20);
  send_key(VK_LEFT, true);
  const bool held = platform::key_down(platform::Key::left);
  send_key(VK_LEFT, false);
  dispatch_pending();
  platform::rest(15);
  check(held && !platform::key_down(platform::Key::left),
        "a press the polls saw held is no tap when its message comes late");
}

}  // namespace

void check_keys() {
  begin_group("keys");
  for (const GameKey& held : game_keys) {
    send_key(held.virtual_key, true);
    for (const GameKey& other : game_keys) {
      const bool down = platform::key_down(other.key);
      check(down == (other.key == held.key), std::string(other.name) +
                                                 (down ? " is down" : " is up") + " while " +
                                                 held.name + " is held");
    }
    send_key(held.virtual_key, false);
    check(!platform::key_down(held.key), std::string(held.name) + " is up once released");
  }

  win32::forget_key_presses();
  HWND window = open_check_window("MARCHFIRE_KEY_CHECKS", "key checks", 64, 48);
  if (window != nullptr) check_taps(window);
  close_check_window();
  win32::forget_key_presses();
}
