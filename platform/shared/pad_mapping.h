// A gamepad as the game takes it, the same on every desktop backend: the
// D-pad and the left stick move (the stick past a dead zone), A and X fire
// on their release as Space does, Start is Enter on a picture and the pause
// key in play, Back is Escape. A backend only reads its pads, by events or
// by polling, into a PadReading; what a change of reading means is decided
// here.
#pragma once

#include <cstdint>

// Left stick positions closer to the centre than this move nothing.
constexpr int stick_dead_zone = 12000;

// The buttons the game uses, as bits of PadReading::buttons.
enum PadButton : std::uint16_t {
  pad_dpad_left = 1 << 0,
  pad_dpad_right = 1 << 1,
  pad_a = 1 << 2,  // south
  pad_x = 1 << 3,  // west
  pad_start = 1 << 4,
  pad_back = 1 << 5,
};

// One pad as last seen.
struct PadReading {
  std::uint16_t buttons = 0;  // PadButton bits
  int stick_x = 0;            // the left stick: -32768 (left) to 32767 (right)
};

// What the game is doing, as far as a backend can tell from its waits.
enum class GameActivity {
  picture,  // a picture waits for Enter or Escape, or a screen pauses
  play,     // steps of play, paced by the tick
};

// The game's keys that a pad can hold, as bits.
enum PadKey : std::uint8_t {
  pad_key_left = 1 << 0,
  pad_key_right = 1 << 1,
  pad_key_enter = 1 << 2,
  pad_key_escape = 1 << 3,
};

// What one change of a pad's reading means to the game.
struct PadActions {
  std::uint8_t pressed = 0;   // PadKey bits the pad begins to hold
  std::uint8_t released = 0;  // PadKey bits it lets go of
  int shots = 0;              // fire buttons released: each one Space release
  bool toggle_pause = false;  // Start in play or during a pause: the pause key
  bool end_pause = false;     // Back: the way out never waits behind a pause
};

PadActions pad_actions(const PadReading& before, const PadReading& now, GameActivity activity,
                       bool paused);
