// Switching between full screen and a window while the game runs: at a
// moment no frame is under way, with the game's clock standing still, so
// that the switch costs the game nothing.
#include <windows.h>

#include "platform/win32/cursor.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/pause.h"

namespace {

bool switch_requested = false;
bool rebuild_requested = false;

win32::DisplayMode other_mode(win32::DisplayMode mode) {
  return mode == win32::DisplayMode::window ? win32::DisplayMode::full_screen
                                            : win32::DisplayMode::window;
}

}  // namespace

namespace win32 {

void request_display_switch() {
  switch_requested = true;
}

void request_display_rebuild() {
  rebuild_requested = true;
}

bool apply_display_requests() {
  if (!switch_requested && !rebuild_requested) return false;
  // Before the display opens or after it closed there is nothing to switch.
  if (!display_in_use()) {
    switch_requested = false;
    rebuild_requested = false;
    return false;
  }
  if (back_surface_locked()) return false;
  const DisplayMode from = display_mode;
  const DisplayMode to = switch_requested ? other_mode(from) : from;
  switch_requested = false;
  rebuild_requested = false;

  hold_clock(GetTickCount());
  close_display_objects();
  // A mode that can't be had leaves the game where it was.
  if (!open_display_objects(to)) {
    close_display_objects();
    open_display_objects(from);
  }
  fit_cursor_to_display();
  redisplay_last_frame();
  release_clock(GetTickCount());
  return true;
}

}  // namespace win32
