#include "platform/win32/key_taps.h"

namespace {

struct KeyTaps {
  bool pressed = false;
  // Offered to one whole turn of polls that did not ask for this key.
  bool offered = false;
  bool held_seen = false;
  std::uint32_t held_seen_at = 0;  // the last poll that saw the key held
};

constexpr int key_count = 4;
KeyTaps keys[key_count];
bool key_wait_now = false;
bool turn_begun = false;

KeyTaps& taps_of(platform::Key key) {
  switch (key) {
    case platform::Key::left:
      return keys[0];
    case platform::Key::right:
      return keys[1];
    case platform::Key::escape:
      return keys[2];
    case platform::Key::enter:
      break;
  }
  return keys[3];
}

void age(KeyTaps& key) {
  if (!key.pressed) return;
  if (key.offered) {
    key.pressed = false;
    key.offered = false;
  } else {
    key.offered = true;
  }
}

}  // namespace

namespace win32 {

void begin_wait(bool key_wait) {
  key_wait_now = key_wait;
  turn_begun = false;
}

void note_key_press(platform::Key key, std::uint32_t time) {
  if (key == platform::Key::enter && !key_wait_now) return;
  KeyTaps& taps = taps_of(key);
  // Signed, so that the tick's wrap changes nothing.
  if (taps.held_seen && static_cast<std::int32_t>(time - taps.held_seen_at) <= 0) return;
  taps.pressed = true;
  taps.offered = false;
}

bool take_key_press(platform::Key key, bool held, std::uint32_t now) {
  if (!turn_begun) {
    turn_begun = true;
    for (KeyTaps& taps : keys) age(taps);
  }
  KeyTaps& taps = taps_of(key);
  if (held) {
    taps.held_seen = true;
    taps.held_seen_at = now;
  }
  const bool pressed = taps.pressed;
  taps.pressed = false;
  taps.offered = false;
  return pressed;
}

void forget_key_presses() {
  for (KeyTaps& taps : keys) taps = KeyTaps{};
  key_wait_now = false;
  turn_begun = false;
}

}  // namespace win32
