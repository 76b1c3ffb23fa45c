// What an SDL event means to the game: the held keys it changes and whether
// it becomes one of the loop's messages.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

// The keys whose held state the game polls, plus Space, whose press is
// remembered so that only a real press-and-release fires.
struct HeldKeys {
  bool left = false;
  bool right = false;
  bool escape = false;
  bool enter = false;         // the main Enter key
  bool keypad_enter = false;  // Enter on the number pad counts the same
  bool space = false;
};

enum class EventOutcome {
  dropped,            // nothing the loop needs to see
  space_released,     // becomes a key_up message for Space
  close_requested,    // becomes a close message
  toggle_fullscreen,  // F11: the desktop's habit, nothing for the game
  redraw,             // the window's contents need showing again
};

// Brings `held` up to date with the event and says what else it means.
EventOutcome translate_event(const SDL_Event& event, HeldKeys& held);

bool key_is_held(const HeldKeys& held, platform::Key key);
