// The pause of a desktop backend: why the game stands still, and the clock
// it sees meanwhile. The game itself knows no pause: while paused its clock
// stands and its messages wait, so that on resume no timer has run out and
// no step or volley is owed. Plain decisions on handed-in times, shared by
// the Linux and Windows programs.
#pragma once

#include <cstdint>

struct PauseCauses {
  bool player = false;  // P, or a gamepad's Start in play
  bool window = false;  // the window lost the focus, was minimised or deactivated
};

bool is_paused(const PauseCauses& causes);
// The player's pause key: pauses a running game, and ends any pause.
void press_pause_key(PauseCauses& causes);
// The window going away pauses; its return lifts that cause only, so a pause
// the player asked for waits for the player.
void note_window_away(PauseCauses& causes, bool away);
// Escape, a close request or a window that is gone: the game must see them.
void end_pause(PauseCauses& causes);

// The system's millisecond tick less every paused stretch, standing still
// while stopped. Unsigned 32-bit like the game's tick, so its wrap changes
// nothing.
struct PauseClock {
  std::uint32_t paused_total = 0;  // milliseconds spent in pauses that ended
  std::uint32_t stopped_at = 0;    // the tick when the running pause began
  bool stopped = false;
};

std::uint32_t game_time(const PauseClock& clock, std::uint32_t tick);
// Both are safe to repeat: only the first stop and the first run count.
void stop_clock(PauseClock& clock, std::uint32_t tick);
void run_clock(PauseClock& clock, std::uint32_t tick);
