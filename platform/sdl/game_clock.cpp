#include "platform/sdl/game_clock.h"

std::uint64_t game_time(const GameClock& clock, std::uint64_t real) {
  const std::uint64_t now = clock.stopped ? clock.stopped_at : real;
  return now - clock.paused_total;
}

void stop_clock(GameClock& clock, std::uint64_t real) {
  if (clock.stopped) return;
  clock.stopped = true;
  clock.stopped_at = real;
}

void run_clock(GameClock& clock, std::uint64_t real) {
  if (!clock.stopped) return;
  clock.stopped = false;
  // A clock read backwards by the system must not make the game's run
  // backwards too.
  if (real > clock.stopped_at) clock.paused_total += real - clock.stopped_at;
}
