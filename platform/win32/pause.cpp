#include "platform/win32/pause.h"

#include "platform/shared/pause.h"

namespace win32 {

namespace {

PauseCauses causes;
PauseClock clock;
int clock_holds = 0;
bool escape_latched = false;
bool redraw_pending = false;

// Every change of the causes goes through here, so that the clock stops
// and runs with the pause itself, not with each cause.
template <typename Change>
void change_causes(std::uint32_t now, Change change) {
  const bool was_paused = is_paused(causes);
  change(causes);
  if (is_paused(causes) == was_paused) return;
  if (was_paused) {
    if (clock_holds == 0) run_clock(clock, now);
    redraw_pending = true;
  } else {
    stop_clock(clock, now);
  }
}

}  // namespace

void pause_toggle_by_player(std::uint32_t now) {
  change_causes(now, press_pause_key);
}

void pause_note_activation(bool active, std::uint32_t now) {
  change_causes(now, [active](PauseCauses& c) { note_window_away(c, !active); });
}

void pause_end_for_escape(std::uint32_t now) {
  if (!paused()) return;
  escape_latched = true;
  pause_end(now);
}

void pause_end(std::uint32_t now) {
  change_causes(now, end_pause);
}

void hold_clock(std::uint32_t now) {
  ++clock_holds;
  stop_clock(clock, now);
}

void release_clock(std::uint32_t now) {
  if (clock_holds == 0) return;
  --clock_holds;
  if (clock_holds == 0 && !paused()) run_clock(clock, now);
}

bool paused() {
  return is_paused(causes);
}

bool application_active() {
  return !causes.window;
}

std::uint32_t game_clock(std::uint32_t now) {
  return game_time(clock, now);
}

bool take_escape_latch() {
  const bool latched = escape_latched;
  escape_latched = false;
  return latched;
}

bool redraw_owed() {
  return redraw_pending;
}

void redraw_done() {
  redraw_pending = false;
}

void pause_reset() {
  causes = PauseCauses{};
  clock = PauseClock{};
  clock_holds = 0;
  escape_latched = false;
  redraw_pending = false;
}

}  // namespace win32
