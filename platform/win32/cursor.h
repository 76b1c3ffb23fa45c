// The cursor once the game has hidden it: gone everywhere in full screen; in
// a window gone only over the client area, so that the window's frame and
// the desktop keep theirs.
#pragma once

#include <windows.h>

namespace win32 {

// Brings the system's cursor count in line with the display's mode.
void fit_cursor_to_display();
// For WM_SETCURSOR: true when the cursor was hidden at this hit-test spot,
// so the default handling must not set one.
bool hide_cursor_at(WORD hit_test);

}  // namespace win32
