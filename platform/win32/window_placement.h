// Where the game's window goes when it is not full screen.
#pragma once

#include <windows.h>

namespace win32 {

// The window's outer rectangle: a client area of 1024 x 768, or the largest
// of that aspect that fits the work area with the window's frame around it
// (never larger), centred in the work area. `frame` is what the frame adds
// around a client area: AdjustWindowRectEx of an empty rectangle.
RECT window_placement(const RECT& work_area, const RECT& frame);

}  // namespace win32
