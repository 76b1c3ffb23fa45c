// The DirectDraw objects of the open display, shared by the display's parts.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

namespace win32 {

// Full screen: exclusive mode and a flipping chain. Window: the desktop's
// mode, a primary surface clipped to the game window and an off-screen back
// surface, shown by a scaled copy into the window's client area.
enum class DisplayMode { full_screen, window };

// All null while the display is closed.
extern IDirectDraw7* direct_draw;
extern IDirectDrawSurface7* primary_surface;
extern IDirectDrawSurface7* back_surface;
extern IDirectDrawClipper* window_clipper;
// The mode of the open display; full screen, the default, while closed.
extern DisplayMode display_mode;

// From the game's display_open to its display_close, even while a switch
// that failed left no surfaces.
bool display_in_use();

// Creates the display's objects in `wanted` mode. A full screen that the
// system refuses (the exclusive level or the display mode) becomes a window,
// with one line on the debug output. False, with the reason recorded, when
// that fails too; whatever was made is then left for close_display_objects.
bool open_display_objects(DisplayMode wanted);
// Releases them in the reverse order of their creation; safe to repeat.
void close_display_objects();

// Shows the back surface: a flip in full screen, a copy into the window's
// client area (scaled, aspect kept, black bars) in a window.
HRESULT present_back_surface();
// In a window: the back surface shown again after the window was exposed or
// resized. Does nothing in full screen or while the back surface is locked.
void repaint_window();

// The game window's shape for a mode: a borderless popup over the whole
// screen, or a decorated, resizable window centred in the work area.
void shape_window(DisplayMode mode);

// After another program took the screen, brings the surfaces back once the
// game owns the screen again. True when they are usable.
bool restore_lost_surfaces();

// Gives up a lock still held on the back surface (before it is released).
void drop_back_surface_lock();
bool back_surface_locked();

// Shows the last composed frame again, with the text drawn on it, after the
// surfaces were lost or something was drawn over it; restores lost surfaces
// first. True when it is on the screen (or there is no display to show it).
bool redisplay_last_frame();

// The lines of text drawn on the back surface since its last unlock, drawn
// again; forgotten at the next unlock.
void redraw_remembered_texts();
void forget_drawn_texts();

// The pause line, drawn over what the screen shows, never into the frame
// the game reads back.
bool show_pause_line();

// Alt+Enter or F11: switch between full screen and a window at the next
// moment the back surface is not locked. A rebuild makes the surfaces anew in
// the same mode (the desktop's mode changed under a window).
void request_display_switch();
void request_display_rebuild();
// Does what was requested, with the game's clock standing still meanwhile,
// and shows the last frame again. Call only where no frame is under way.
// True when the display was rebuilt.
bool apply_display_requests();

}  // namespace win32
