#include "platform/win32/precise_wait.h"

#include <windows.h>

namespace {

// Not in every header set yet; the systems that lack it refuse the flag.
constexpr DWORD create_waitable_timer_high_resolution = 0x00000002;

// The system's tick is brought up to date only now and then (every 15.6 ms
// on Windows, at the server's wake-ups under Wine), so the time still owed,
// counted on it, may be up to a whole update late. A sleep as long as that
// time would overshoot the step's end by as much; short sleeps see the tick
// move within half a millisecond and cost next to nothing.
constexpr LONGLONG slice_in_100ns = 5000;

// Null when the system has no high-resolution timer: a plain waitable timer
// or Sleep wakes on the system's timer tick, often 15.6 ms, later than a
// step may end.
HANDLE timer = nullptr;
bool timer_looked_for = false;

HANDLE high_resolution_timer() {
  if (!timer_looked_for) {
    timer_looked_for = true;
    timer = CreateWaitableTimerExW(nullptr, nullptr, create_waitable_timer_high_resolution,
                                   TIMER_ALL_ACCESS);
  }
  return timer;
}

}  // namespace

namespace win32 {

bool has_high_resolution_timer() {
  return high_resolution_timer() != nullptr;
}

void wait_precisely(std::uint32_t ms_left) {
  HANDLE waitable = ms_left >= 1 ? high_resolution_timer() : nullptr;
  if (waitable != nullptr) {
    LARGE_INTEGER due = {};
    due.QuadPart = -slice_in_100ns;  // relative
    if (SetWaitableTimer(waitable, &due, 0, nullptr, nullptr, FALSE)) {
      // The timeout is a guard only: the timer fires first.
      WaitForSingleObject(waitable, ms_left);
      return;
    }
  }
  SwitchToThread();
}

}  // namespace win32
