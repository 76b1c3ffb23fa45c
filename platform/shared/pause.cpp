#include "platform/shared/pause.h"

bool is_paused(const PauseCauses& causes) {
  return causes.player || causes.window;
}

void press_pause_key(PauseCauses& causes) {
  if (is_paused(causes)) {
    end_pause(causes);
  } else {
    causes.player = true;
  }
}

void note_window_away(PauseCauses& causes, bool away) {
  causes.window = away;
}

void end_pause(PauseCauses& causes) {
  causes = PauseCauses{};
}

std::uint32_t game_time(const PauseClock& clock, std::uint32_t tick) {
  return (clock.stopped ? clock.stopped_at : tick) - clock.paused_total;
}

void stop_clock(PauseClock& clock, std::uint32_t tick) {
  if (clock.stopped) return;
  clock.stopped = true;
  clock.stopped_at = tick;
}

void run_clock(PauseClock& clock, std::uint32_t tick) {
  if (!clock.stopped) return;
  clock.stopped = false;
  // A tick read earlier than the stop (a difference past half the range is
  // no pause but a clock set back) must not make the game's time run back.
  const std::uint32_t paused = tick - clock.stopped_at;
  if (paused < 0x80000000u) clock.paused_total += paused;
}
