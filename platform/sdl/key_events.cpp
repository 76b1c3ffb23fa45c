#include "platform/sdl/key_events.h"

namespace {

bool* held_flag(HeldKeys& held, SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_LEFT:
      return &held.left;
    case SDL_SCANCODE_RIGHT:
      return &held.right;
    case SDL_SCANCODE_ESCAPE:
      return &held.escape;
    case SDL_SCANCODE_RETURN:
      return &held.enter;
    case SDL_SCANCODE_KP_ENTER:
      return &held.keypad_enter;
    case SDL_SCANCODE_SPACE:
      return &held.space;
    default:
      return nullptr;
  }
}

EventOutcome translate_key(const SDL_KeyboardEvent& key, HeldKeys& held) {
  const SDL_Scancode scancode = key.keysym.scancode;
  if (key.type == SDL_KEYDOWN) {
    if (scancode == SDL_SCANCODE_F11 && key.repeat == 0) return EventOutcome::toggle_fullscreen;
    if (bool* flag = held_flag(held, scancode)) *flag = true;
    return EventOutcome::dropped;
  }
  bool* flag = held_flag(held, scancode);
  if (flag == nullptr) return EventOutcome::dropped;
  const bool was_down = *flag;
  *flag = false;
  // A release fires only after a press that this window saw: a release
  // without its press (Space held while the window came up, or a repeat
  // that slipped through as a release) must not shoot.
  if (scancode == SDL_SCANCODE_SPACE && was_down) return EventOutcome::space_released;
  return EventOutcome::dropped;
}

EventOutcome translate_window_event(const SDL_WindowEvent& window, HeldKeys& held) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // Releases made elsewhere never reach us: let go of everything, and
      // don't fire for a Space that was let go of in another window.
      held = HeldKeys{};
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

EventOutcome translate_event(const SDL_Event& event, HeldKeys& held) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return translate_key(event.key, held);
    case SDL_WINDOWEVENT:
      return translate_window_event(event.window, held);
    case SDL_QUIT:
      return EventOutcome::close_requested;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      return EventOutcome::redraw;
    default:
      return EventOutcome::dropped;
  }
}

bool key_is_held(const HeldKeys& held, platform::Key key) {
  switch (key) {
    case platform::Key::left:
      return held.left;
    case platform::Key::right:
      return held.right;
    case platform::Key::escape:
      return held.escape;
    case platform::Key::enter:
      return held.enter || held.keypad_enter;
  }
  return false;
}
