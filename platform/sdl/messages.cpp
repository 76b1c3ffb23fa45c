// The loop's message queue, fed from SDL's events.
//
// Only what the window procedure acts on becomes a message: Space releases
// (the gamepad's fire buttons among them), close requests, and the destroy
// and quit messages that follow them. Every other SDL event is handled here
// or dropped at once, so nothing can hold a Space release back and SDL's own
// queue never fills up.
#include <deque>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/key_events.h"

namespace {

// Marks a close request that came from the desktop rather than the game.
constexpr std::uintptr_t from_desktop = 1;

std::deque<platform::WindowMessage> queue;
InputState input;
int desktop_closes_queued = 0;

void enqueue(const platform::WindowMessage& message) {
  queue.push_back(message);
}

void handle(const SDL_Event& event) {
  const bool was_paused = is_paused(input);
  const EventOutcome outcome = translate_event(event, input);
  if (is_paused(input) != was_paused) sdl_backend::pause_changed(is_paused(input));
  switch (outcome) {
    case EventOutcome::space_released: {
      platform::WindowMessage message;
      message.kind = platform::MessageKind::key_up;
      message.key_code = platform::key_code_space;
      enqueue(message);
      break;
    }
    case EventOutcome::close_requested: {
      platform::WindowMessage message;
      message.kind = platform::MessageKind::close;
      message.native[0] = from_desktop;
      enqueue(message);
      ++desktop_closes_queued;
      break;
    }
    case EventOutcome::toggle_fullscreen:
      sdl_backend::toggle_fullscreen();
      break;
    case EventOutcome::redraw:
      sdl_backend::redraw_display();
      break;
    case EventOutcome::controller_added:
      sdl_backend::open_gamepad(event.cdevice.which);
      break;
    case EventOutcome::controller_removed:
      sdl_backend::close_gamepad(event.cdevice.which);
      break;
    case EventOutcome::dropped:
      break;
  }
}

}  // namespace

namespace sdl_backend {

void pump_events() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) handle(event);
}

bool desktop_close_pending() {
  return desktop_closes_queued > 0;
}

InputState& input_state() {
  return input;
}

void forget_messages() {
  queue.clear();
  if (is_paused(input)) sdl_backend::pause_changed(false);
  input = InputState{};
  desktop_closes_queued = 0;
}

}  // namespace sdl_backend

namespace platform {

bool fetch_message(WindowMessage& out) {
  sdl_backend::pump_events();
  if (queue.empty()) return false;
  // A shot fired while paused would be fired into a frozen game: it waits
  // in the queue, in order, for the pause to end. The way out never waits:
  // a window closed or destroyed loses the focus, which pauses.
  if (is_paused(input) && queue.front().kind == MessageKind::key_up) return false;
  out = queue.front();
  queue.pop_front();
  if (out.kind == MessageKind::close && out.native[0] == from_desktop) --desktop_closes_queued;
  return true;
}

void dispatch_message(const WindowMessage& message) {
  // The quit message belongs to the loop, not to a window; and a destroyed
  // window takes no more messages.
  if (message.kind == MessageKind::quit) return;
  WindowProc proc = sdl_backend::game_window_proc();
  if (proc == nullptr || sdl_backend::game_window() == nullptr) return;
  proc(message);
}

std::intptr_t default_window_proc(const WindowMessage& message) {
  if (message.kind == MessageKind::close) sdl_backend::destroy_game_window();
  return 0;
}

// Nothing to validate: the backend shows the last frame again by itself
// whenever the desktop exposes the window.
void validate_window(const WindowMessage&) {}

void post_close_request() {
  WindowMessage message;
  message.kind = MessageKind::close;
  enqueue(message);
}

void post_quit(int exit_code) {
  WindowMessage message;
  message.kind = MessageKind::quit;
  message.exit_code = exit_code;
  enqueue(message);
}

}  // namespace platform
