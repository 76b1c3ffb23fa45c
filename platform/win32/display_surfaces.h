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

// Shows the last composed frame again, with the text drawn on it, after the
// surfaces were lost or something was drawn over it; restores lost surfaces
// first. True when it is on the screen (or there is no display to show it).
bool redisplay_last_frame();

// The lines of text drawn on the back surface since its last unlock, drawn
// again; forgotten at the next unlock.
void redraw_remembered_texts();
void forget_drawn_texts();

// The pause line, drawn over what the screen shows: on the visible surface,
// never into the frame the game reads back.
bool show_pause_line();

}  // namespace win32
