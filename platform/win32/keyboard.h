// What the held-key poll must know of keys the backend took for itself.
#pragma once

namespace win32 {

// Enter went down with Alt: the display switches, and for the game that
// Enter is no Enter until it has been let go of, whichever key goes up first.
void note_enter_switched_display();

}  // namespace win32
