// The millisecond clock, the waits, and the held keys.
//
// Every wait takes the desktop's events, so the window keeps answering and no
// key or click is lost while the game waits; and every wait sleeps, so a
// game that waits costs next to nothing.
#include <time.h>

#include <algorithm>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/key_events.h"

namespace {

// Long waits are cut into slices this short so that the window keeps
// answering the desktop while the game sleeps.
constexpr std::uint32_t pump_slice_ms = 10;
// While paused nothing in the game moves; the slice only bounds how late an
// exposed window is shown again.
constexpr std::uint32_t paused_slice_ms = 20;

// The game polls its keys in turns, one turn between two waits.
bool turn_ended = true;

void end_turn(GameActivity activity) {
  turn_ended = true;
  sdl_backend::input_state().activity = activity;
}

// Part of a millisecond, for the last one before a deadline: SDL_Delay knows
// only whole ones, and spinning through it would cost a fifteenth of a core.
void nap_microseconds(long microseconds) {
  const timespec span{0, microseconds * 1000L};
  nanosleep(&span, nullptr);
}

}  // namespace

namespace platform {

std::uint32_t tick_ms() {
  return sdl_backend::game_clock_ms();
}

// A pause stretches the wait: the screens' pauses are the game's time.
void sleep_ms(std::uint32_t ms) {
  end_turn(GameActivity::picture);
  const std::uint32_t start = sdl_backend::game_clock_ms();
  for (;;) {
    sdl_backend::pump_events();
    const std::uint32_t elapsed = sdl_backend::game_clock_ms() - start;
    if (elapsed >= ms) return;
    const std::uint32_t slice = sdl_backend::paused() ? paused_slice_ms : pump_slice_ms;
    SDL_Delay(std::min(ms - elapsed, slice));
  }
}

void rest(std::uint32_t ms_left) {
  end_turn(ms_left == no_deadline ? GameActivity::picture : GameActivity::play);
  sdl_backend::pump_events();
  // While paused the clock stands still and the caller keeps asking: each
  // turn sleeps a slice, whatever the deadline, since no game time passes.
  if (sdl_backend::paused()) {
    SDL_Delay(paused_slice_ms);
    return;
  }
  if (ms_left == no_deadline) {
    // A key wait: any key is kept for the next poll however short it was,
    // so a slice of sleep loses nothing.
    SDL_Delay(pump_slice_ms);
    return;
  }
  if (ms_left == 0) return;
  // SDL_Delay may overshoot by a fraction of a millisecond; sleeping whole
  // milliseconds up to the last one, then in quarters, keeps the caller's
  // deadline within a millisecond.
  if (ms_left == 1) {
    nap_microseconds(250);
    return;
  }
  SDL_Delay(static_cast<Uint32>(ms_left - 1));
}

bool key_down(Key key) {
  // The game's key waits spin on this without fetching messages: pumping
  // here keeps the window alive and queues Space releases for later.
  sdl_backend::pump_events();
  InputState& input = sdl_backend::input_state();
  if (turn_ended) {
    begin_poll_turn(input.held);
    turn_ended = false;
  }
  // A desktop close request, or a window already gone, reads as Escape: the
  // game's key waits know no other way out, and a wait with no window to
  // take keys would never end.
  if (key == Key::escape &&
      (sdl_backend::desktop_close_pending() || sdl_backend::game_window_destroyed())) {
    return true;
  }
  // A paused game sees no key: Escape and P end the pause first.
  if (is_paused(input)) return false;
  return take_key(input.held, key);
}

}  // namespace platform
