// Time: the game's clock, which stands still during a pause, and the waits.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/gamepads.h"
#include "platform/win32/key_taps.h"
#include "platform/win32/message_service.h"
#include "platform/win32/pause.h"
#include "platform/win32/precise_wait.h"

namespace {

// How long a key wait rests before it looks at the keys again when no input
// arrives: short enough that Enter feels immediate.
constexpr std::uint32_t key_wait_look_ms = 10;

}  // namespace

namespace platform {

std::uint32_t tick_ms() {
  return win32::game_clock(GetTickCount());
}

// On the game's clock, so that a pause neither shortens nor ends it.
void sleep_ms(std::uint32_t ms) {
  win32::begin_wait(false);
  const std::uint32_t start = tick_ms();
  for (;;) {
    win32::apply_display_requests();
    win32::poll_gamepads(GameActivity::picture);
    if (win32::paused()) {
      win32::hold_while_paused();
      continue;
    }
    const std::uint32_t elapsed = tick_ms() - start;
    if (elapsed >= ms) return;
    win32::wait_for_input(ms - elapsed);
  }
}

// No frame is under way while the game rests: the display may be switched.
// A key wait is a picture's, on which Start is Enter; the pacing is play's.
void rest(std::uint32_t ms_left) {
  win32::begin_wait(ms_left == no_deadline);
  win32::apply_display_requests();
  win32::poll_gamepads(ms_left == no_deadline ? GameActivity::picture : GameActivity::play);
  if (win32::paused()) {
    win32::hold_while_paused();
    return;
  }
  // A key wait answers the window and wakes on input; a step's pacing must
  // end on time, so it sleeps in short slices that cannot overshoot it.
  if (ms_left == no_deadline) {
    win32::wait_for_input(key_wait_look_ms);
  } else {
    win32::wait_precisely(ms_left);
  }
}

}  // namespace platform
