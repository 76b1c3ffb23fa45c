// Time: the system's millisecond tick and a plain sleep.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

std::uint32_t tick_ms() {
  return GetTickCount();
}

void sleep_ms(std::uint32_t ms) {
  Sleep(ms);
}

void rest(std::uint32_t ms_left) {
  // Sleep's granularity is the system timer's (often 15.6 ms), far too coarse
  // for the pacing of a step: only the key waits, which have no deadline,
  // sleep; a pacing wait just lets other threads run.
  if (ms_left == no_deadline) {
    Sleep(10);
  } else {
    SwitchToThread();
  }
}

}  // namespace platform
