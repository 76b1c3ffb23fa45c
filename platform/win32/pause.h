// Whether the game stands still, and the game's clock that stands with it.
//
// The game core knows nothing of a pause: while paused, its clock is frozen
// and its messages are held, so that on resume no timer has run out and no
// step is owed. This is the decision part alone, on times handed in, so that
// it can be checked without a window or a clock.
#pragma once

#include <cstdint>

namespace win32 {

// The player's P key: pauses a running game, and ends any pause.
void pause_toggle_by_player(std::uint32_t now);
// The program became the active one (true) or another took over (false).
// Losing the activation pauses; regaining it lifts that cause only: a pause
// the player made stays.
void pause_note_activation(bool active, std::uint32_t now);
// Escape during a pause ends it at once, and the game then sees Escape held
// even when the key is already up again.
void pause_end_for_escape(std::uint32_t now);
// Something the game must handle now (a close request, the quit message, a
// window that is gone) ends the pause for every cause.
void pause_end(std::uint32_t now);

// The game's clock alone stands still while the display is rebuilt or the
// window is moved or sized: no timer runs out meanwhile, and nothing else of
// a pause happens. Holds nest, and a pause ending under one leaves the clock
// standing until the last hold is released.
void hold_clock(std::uint32_t now);
void release_clock(std::uint32_t now);

bool paused();
bool application_active();
// The game's clock for a system tick: the tick less every paused stretch,
// standing still during a pause. Unsigned, so the tick's wrap changes nothing.
std::uint32_t game_clock(std::uint32_t now);
// True once after a pause ended by Escape.
bool take_escape_latch();
// True once after each pause's end: the screen must show the last frame again
// without the pause line, and surfaces lost meanwhile must be restored.
bool redraw_owed();
void redraw_done();

// Back to the start state: active, not paused, no paused time. For checks.
void pause_reset();

}  // namespace win32
