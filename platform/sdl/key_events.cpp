#include "platform/sdl/key_events.h"

#include <initializer_list>

namespace {

KeyState* key_of_scancode(HeldKeys& held, SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_LEFT:
      return &held.left;
    case SDL_SCANCODE_RIGHT:
      return &held.right;
    case SDL_SCANCODE_ESCAPE:
      return &held.escape;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return &held.enter;
    default:
      return nullptr;
  }
}

std::uint8_t keyboard_source(SDL_Scancode scancode) {
  return scancode == SDL_SCANCODE_KP_ENTER ? from_keypad : from_keyboard;
}

void press(KeyState& key, std::uint8_t source, bool paused) {
  const bool was_up = key.held_by == 0;
  key.held_by |= source;
  // A press made while paused is no tap for the game: it only holds the key
  // for as long as it lasts.
  if (was_up && !paused) {
    key.tapped = true;
    key.offered = false;
  }
}

void release(KeyState& key, std::uint8_t source) {
  key.held_by &= static_cast<std::uint8_t>(~source);
}

EventOutcome translate_key(const SDL_KeyboardEvent& key, InputState& state) {
  const SDL_Scancode scancode = key.keysym.scancode;
  HeldKeys& held = state.held;
  if (key.type == SDL_KEYDOWN) {
    if (key.repeat != 0) return EventOutcome::dropped;
    if (scancode == SDL_SCANCODE_F11) return EventOutcome::toggle_fullscreen;
    if (scancode == SDL_SCANCODE_P) {
      press_pause_key(state.pause);
      return EventOutcome::dropped;
    }
    // Escape always reaches the game: it ends a pause and then quits.
    if (scancode == SDL_SCANCODE_ESCAPE) end_pause(state.pause);
    if (scancode == SDL_SCANCODE_SPACE) held.space = true;
    if (KeyState* target = key_of_scancode(held, scancode)) {
      press(*target, keyboard_source(scancode), is_paused(state));
    }
    return EventOutcome::dropped;
  }
  if (scancode == SDL_SCANCODE_SPACE) {
    const bool was_down = held.space;
    held.space = false;
    // A release fires only after a press that this window saw: a release
    // without its press (Space held while the window came up, or a repeat
    // that slipped through as a release) must not shoot.
    return was_down ? EventOutcome::space_released : EventOutcome::dropped;
  }
  if (KeyState* target = key_of_scancode(held, scancode)) {
    release(*target, keyboard_source(scancode));
  }
  return EventOutcome::dropped;
}

KeyState* key_of_pad_key(HeldKeys& held, PadKey key) {
  switch (key) {
    case pad_key_left:
      return &held.left;
    case pad_key_right:
      return &held.right;
    case pad_key_enter:
      return &held.enter;
    case pad_key_escape:
      return &held.escape;
  }
  return nullptr;
}

// The pads' reading changes to `now`; the shared mapping says what that does.
EventOutcome change_pad_reading(const PadReading& now, InputState& state) {
  HeldKeys& held = state.held;
  const PadActions actions = pad_actions(held.pad, now, state.activity, is_paused(state));
  held.pad = now;
  if (actions.end_pause) end_pause(state.pause);
  if (actions.toggle_pause) press_pause_key(state.pause);
  for (PadKey key : {pad_key_left, pad_key_right, pad_key_enter, pad_key_escape}) {
    KeyState* target = key_of_pad_key(held, key);
    if ((actions.released & key) != 0) release(*target, from_gamepad);
    if ((actions.pressed & key) != 0) press(*target, from_gamepad, is_paused(state));
  }
  return actions.shots > 0 ? EventOutcome::space_released : EventOutcome::dropped;
}

std::uint16_t pad_button_of(std::uint8_t sdl_button) {
  switch (sdl_button) {
    case SDL_CONTROLLER_BUTTON_A:
      return pad_a;
    case SDL_CONTROLLER_BUTTON_X:
      return pad_x;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return pad_dpad_left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return pad_dpad_right;
    case SDL_CONTROLLER_BUTTON_BACK:
      return pad_back;
    case SDL_CONTROLLER_BUTTON_START:
      return pad_start;
    default:
      return 0;
  }
}

EventOutcome translate_button(const SDL_ControllerButtonEvent& button, InputState& state) {
  const std::uint16_t bit = pad_button_of(button.button);
  if (bit == 0) return EventOutcome::dropped;
  PadReading now = state.held.pad;
  if (button.type == SDL_CONTROLLERBUTTONDOWN) {
    now.buttons |= bit;
  } else {
    now.buttons &= static_cast<std::uint16_t>(~bit);
  }
  return change_pad_reading(now, state);
}

EventOutcome translate_axis(const SDL_ControllerAxisEvent& axis, InputState& state) {
  if (axis.axis != SDL_CONTROLLER_AXIS_LEFTX) return EventOutcome::dropped;
  PadReading now = state.held.pad;
  now.stick_x = axis.value;
  return change_pad_reading(now, state);
}

void let_go_of_pads(HeldKeys& held) {
  for (KeyState* key : {&held.left, &held.right, &held.escape, &held.enter}) {
    release(*key, from_gamepad);
  }
  held.pad = PadReading{};
}

EventOutcome translate_window_event(const SDL_WindowEvent& window, InputState& state) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
      // Releases made elsewhere never reach us: let go of everything, and
      // don't fire for a Space that was let go of in another window. A game
      // nobody watches must not go on.
      state.held = HeldKeys{};
      note_window_away(state.pause, true);
      return EventOutcome::dropped;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      note_window_away(state.pause, false);
      return EventOutcome::dropped;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
      return EventOutcome::redraw;
    default:
      return EventOutcome::dropped;
  }
}

}  // namespace

EventOutcome translate_event(const SDL_Event& event, InputState& state) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return translate_key(event.key, state);
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      return translate_button(event.cbutton, state);
    case SDL_CONTROLLERAXISMOTION:
      return translate_axis(event.caxis, state);
    case SDL_CONTROLLERDEVICEADDED:
      return EventOutcome::controller_added;
    case SDL_CONTROLLERDEVICEREMOVED:
      let_go_of_pads(state.held);
      return EventOutcome::controller_removed;
    case SDL_WINDOWEVENT:
      return translate_window_event(event.window, state);
    case SDL_QUIT:
      // The desktop wants the game gone: a pause must not hold its request.
      end_pause(state.pause);
      return EventOutcome::close_requested;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      return EventOutcome::redraw;
    default:
      return EventOutcome::dropped;
  }
}

bool is_paused(const InputState& state) {
  return is_paused(state.pause);
}

namespace {

// For the held keys as they are and as the game's poll changes them alike.
template <typename Keys>
auto& key_state(Keys& held, platform::Key key) {
  switch (key) {
    case platform::Key::left:
      return held.left;
    case platform::Key::right:
      return held.right;
    case platform::Key::escape:
      return held.escape;
    case platform::Key::enter:
      break;
  }
  return held.enter;
}

void age_tap(KeyState& key) {
  if (!key.tapped) return;
  if (key.offered) {
    key.tapped = false;
    key.offered = false;
  } else {
    key.offered = true;
  }
}

}  // namespace

bool key_is_held(const HeldKeys& held, platform::Key key) {
  return key_state(held, key).held_by != 0;
}

bool take_key(HeldKeys& held, platform::Key key) {
  KeyState& state = key_state(held, key);
  const bool down = state.held_by != 0 || state.tapped;
  state.tapped = false;
  state.offered = false;
  return down;
}

void begin_poll_turn(HeldKeys& held) {
  for (KeyState* key : {&held.left, &held.right, &held.escape, &held.enter}) age_tap(*key);
}
