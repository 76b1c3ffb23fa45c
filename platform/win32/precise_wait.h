// Waiting out the end of a step without missing it.
#pragma once

#include <cstdint>

namespace win32 {

// Rests a little, well under ms_left milliseconds: a half-millisecond sleep
// on a high-resolution timer when the system has one, else it only lets
// other threads run.
void wait_precisely(std::uint32_t ms_left);

// Whether the system gave us a high-resolution timer (for the checks' report).
bool has_high_resolution_timer();

}  // namespace win32
