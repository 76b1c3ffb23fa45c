// The full-screen display: start-up, the frame bracket, and release.
#pragma once

#include <cstdint>

#include "assets/bitmap_loader.h"
#include "display/frame_view.h"

extern BitmapImage player_image;
extern BitmapImage shield_blue_image;
extern BitmapImage shield_yellow_image;
extern BitmapImage enemy_image;
extern BitmapImage missile_image;

// The pixels of the most recent lock; with frame_pitch, the frame composed
// last. Null when the last lock failed.
extern std::uint32_t* frame_pixels;
extern std::int32_t frame_pitch;

// Fills the grid, opens the display, loads the sprites, hides the cursor and
// shows the intro. 1 when done; 0 as soon as a step fails, with the reason in
// startup_failure().
int startup();
// Why the last startup failed: one line naming what and why.
const char* startup_failure();

// Locks the back surface and clears it to black. When the lock fails the
// view's pixels are null and nothing may be drawn.
FrameView begin_frame();
// 1 when the frame was unlocked (and, for end_frame, flipped); 0 when the
// unlock failed.
int end_frame();
int unlock_frame();
// Shows the frame. A display that keeps refusing the flip (lost to another
// program) is given up on after a bounded number of tries: 0, frame dropped.
int present_frame();
// The frame composed last, readable until the next begin_frame.
FrameView last_frame();
// Releases the display, then frees the sprites. Always 1; safe to repeat.
int shutdown();

constexpr int flip_attempts_per_frame = 100;
