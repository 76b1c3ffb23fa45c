// The millisecond clock, sleeping, and the held keys.
#include <algorithm>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/key_events.h"

namespace {

// Long pauses are cut into slices this short so that the window keeps
// answering the desktop while the game sleeps.
constexpr std::uint64_t pump_slice_ms = 10;

}  // namespace

namespace platform {

std::uint32_t tick_ms() {
  // The game compares ticks modulo 2^32; keep exactly the low 32 bits.
  return static_cast<std::uint32_t>(SDL_GetTicks64());
}

void sleep_ms(std::uint32_t ms) {
  const std::uint64_t deadline = SDL_GetTicks64() + ms;
  for (;;) {
    sdl_backend::pump_events();
    const std::uint64_t now = SDL_GetTicks64();
    if (now >= deadline) return;
    SDL_Delay(static_cast<Uint32>(std::min(deadline - now, pump_slice_ms)));
  }
}

void rest(std::uint32_t ms_left) {
  sdl_backend::pump_events();
  // SDL_Delay may overshoot by a fraction of a millisecond; stopping one
  // short keeps the caller's deadline within a millisecond.
  if (ms_left < 2) return;
  SDL_Delay(static_cast<Uint32>(std::min<std::uint64_t>(ms_left - 1, pump_slice_ms)));
}

bool key_down(Key key) {
  // The game's key waits spin on this without fetching messages: pumping
  // here keeps the window alive and queues Space releases for later.
  sdl_backend::pump_events();
  if (key_is_held(sdl_backend::held_keys(), key)) return true;
  // A desktop close request, or a window already gone, reads as Escape: the
  // game's key waits know no other way out, and a wait with no window to
  // take keys would never end.
  if (key == Key::escape) {
    return sdl_backend::desktop_close_pending() || sdl_backend::game_window_destroyed();
  }
  return false;
}

}  // namespace platform
