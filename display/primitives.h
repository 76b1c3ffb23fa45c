// The small operations that draw into a frame and search it.
#pragma once

#include <cstdint>

#include "assets/bitmap_loader.h"
#include "display/frame_view.h"
#include "game/game_state.h"

// Copies w x h pixels of a 24-bit image (rows of w * 3 bytes, top row first)
// opaquely into the frame at (x, y). Whatever falls outside the frame is
// clipped away. Always 1.
int blit_rgb24(const FrameView& frame, const BitmapImage& image, std::int32_t w, std::int32_t h,
               std::int32_t x, std::int32_t y);

// Draws the first n missiles that are in flight and below the top edge.
void draw_missiles(const FrameView& frame, int n, const Missile* missiles);

// 1 if some pixel of the rectangle (inclusive corners, clamped to the
// screen) equals either colour, else 0.
int frame_has_color(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    std::uint32_t color_a, std::uint32_t color_b, const FrameView& frame);

// One line of text on the back surface, transparent background; the colour
// is 0x00BBGGRR. 0 when the surface can't take text.
int draw_text(const char* text, std::int32_t x, std::int32_t y, std::uint32_t colorref);

// The whole frame to black, touching only the first 4096 bytes of each row.
void clear_frame(const FrameView& frame);
