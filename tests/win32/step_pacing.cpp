#include "step_pacing.h"

#include "platform/platform.h"

void finish_step(std::uint32_t start, bool resting) {
  constexpr std::uint32_t step_ms = 15;
  for (int turn = 0; turn < 10000000; ++turn) {
    const std::uint32_t elapsed = platform::tick_ms() - start;
    if (elapsed >= step_ms) return;
    if (resting) platform::rest(step_ms - elapsed);
  }
}
