// What an SDL event means to the game: the held keys it changes, the pause
// it starts or ends, and whether it becomes one of the loop's messages.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/shared/pad_mapping.h"
#include "platform/shared/pause.h"

// Everything that can hold one of the game's keys down. A key is held while
// any of them holds it, so a gamepad and the keyboard can share a key.
enum KeySource : std::uint8_t {
  from_keyboard = 1,
  from_keypad = 2,   // Enter on the number pad counts as Enter
  from_gamepad = 4,  // the D-pad, the stick, Start as Enter, Back as Escape
};

struct KeyState {
  std::uint8_t held_by = 0;  // KeySource bits
  // Pressed since the game last asked: a tap shorter than a step is reported
  // at the next poll even when it is already over.
  bool tapped = false;
  // The tap was offered to one whole turn of polling that did not ask for
  // this key: it belongs to no later turn.
  bool offered = false;
};

// The keys whose held state the game polls, plus what fires on a release.
struct HeldKeys {
  KeyState left;
  KeyState right;
  KeyState escape;
  KeyState enter;
  // Space pressed in this window, so that only a press that was seen here
  // fires on its release.
  bool space = false;
  // The gamepads' buttons and stick as their events left them, all pads in
  // one: only a press seen here fires on its release.
  PadReading pad;
};

struct InputState {
  HeldKeys held;
  PauseCauses pause;
  GameActivity activity = GameActivity::picture;
};

enum class EventOutcome {
  dropped,             // nothing the loop needs to see
  space_released,      // becomes a key_up message for Space
  close_requested,     // becomes a close message
  toggle_fullscreen,   // F11: the desktop's habit, nothing for the game
  redraw,              // the window's contents need showing again
  controller_added,    // a gamepad to open (event.cdevice.which: device index)
  controller_removed,  // a gamepad to close (event.cdevice.which: instance id)
};

// Brings `state` up to date with the event and says what else it means.
// A pause begun or ended shows only in `state`.
EventOutcome translate_event(const SDL_Event& event, InputState& state);

bool is_paused(const InputState& state);

// True while something holds the key down at this moment.
bool key_is_held(const HeldKeys& held, platform::Key key);

// The game's poll: held now, or tapped since it last asked. A tap is
// reported once.
bool take_key(HeldKeys& held, platform::Key key);

// Called before the first poll after each of the game's waits: a tap that a
// whole turn of polls passed by (Enter during play, Left at the intro) is
// forgotten rather than surfacing in some later screen.
void begin_poll_turn(HeldKeys& held);
