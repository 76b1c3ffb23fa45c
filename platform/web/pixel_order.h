// The game's pixels (0x00RRGGBB words) in the byte order a canvas takes.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes each pixel as the bytes R, G, B, 255 (opaque), whatever the game
// left in its unused top byte.
void to_canvas_order(const std::uint32_t* frame, std::uint32_t* rgba, std::size_t count);
