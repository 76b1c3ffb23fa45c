// The game's clock: SDL's milliseconds less the time spent paused, so that a
// pause leaves every timer of play where it was.
#pragma once

#include <cstdint>

struct GameClock {
  std::uint64_t paused_total = 0;  // milliseconds spent in pauses that ended
  std::uint64_t stopped_at = 0;    // SDL's time when the running pause began
  bool stopped = false;
};

// The game's time when SDL's clock reads `real`.
std::uint64_t game_time(const GameClock& clock, std::uint64_t real);
// Both are safe to repeat: only the first stop and the first run count.
void stop_clock(GameClock& clock, std::uint64_t real);
void run_clock(GameClock& clock, std::uint64_t real);
