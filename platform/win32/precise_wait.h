// Waiting out the last milliseconds of a step without missing its end.
#pragma once

#include <cstdint>

namespace win32 {

// Rests for less than ms_left milliseconds: sleeps on a high-resolution
// timer for all but the last millisecond when the system has one, and
// otherwise only lets other threads run.
void wait_precisely(std::uint32_t ms_left);

// Whether the system gave us a high-resolution timer (for the checks' report).
bool has_high_resolution_timer();

}  // namespace win32
