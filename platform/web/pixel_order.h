// The game's pixels (0x00RRGGBB words) in the byte order a 2D canvas takes.
#pragma once

#include <cstdint>

// The rows [first, last] of a frame; none when first > last.
struct RowBand {
  int first;
  int last;
};

// Writes each pixel into `rgba` as the bytes R, G, B, 255 (opaque), whatever
// the game left in its unused top byte. `rgba` holds the frame written
// before: the rows that differ from it are returned, so that the canvas
// takes only those.
RowBand to_canvas_order(const std::uint32_t* frame, std::uint32_t* rgba, int width, int height);
