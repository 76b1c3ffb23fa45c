// The DirectDraw objects of the open display, shared by the display's parts.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

namespace win32 {

// All null while the display is closed.
extern IDirectDraw7* direct_draw;
extern IDirectDrawSurface7* primary_surface;
extern IDirectDrawSurface7* back_surface;

// After another program took the screen, brings the surfaces back once the
// game owns the screen again. True when they are usable.
bool restore_lost_surfaces();

// Gives up a lock still held on the back surface (before it is released).
void drop_back_surface_lock();

}  // namespace win32
