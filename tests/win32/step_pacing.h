// The end of one of the core's steps, as the checks of its pacing play it.
#pragma once

#include <cstdint>

// Waits until 15 ms have passed on the game's clock since start: resting
// with the time still owed, as the core does, or spinning, for comparison.
void finish_step(std::uint32_t start, bool resting);
