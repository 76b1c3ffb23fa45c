// What a pause does beyond the input: the game clock stops, so that no timer
// of play runs out and no step or volley is owed on return; the sound holds;
// the frame on screen gets the pause line over it.
#include "platform/shared/pause.h"

#include "platform/sdl/backend.h"
#include "platform/sdl/key_events.h"

namespace {

PauseClock clock;

}  // namespace

namespace sdl_backend {

void pause_changed(bool paused) {
  const std::uint32_t now = SDL_GetTicks();
  if (paused) {
    stop_clock(clock, now);
  } else {
    run_clock(clock, now);
  }
  audio_hold(paused);
  redraw_display();
}

void forget_pause() {
  clock = PauseClock{};
}

bool paused() {
  return is_paused(input_state());
}

std::uint32_t game_clock_ms() {
  return game_time(clock, SDL_GetTicks());
}

}  // namespace sdl_backend
