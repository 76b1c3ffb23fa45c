#include "platform/web/pixel_order.h"

#include <cstddef>

RowBand to_canvas_order(const std::uint32_t* frame, std::uint32_t* rgba, int width, int height) {
  RowBand changed{height, -1};
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = frame + static_cast<std::ptrdiff_t>(y) * width;
    std::uint32_t* out = rgba + static_cast<std::ptrdiff_t>(y) * width;
    std::uint32_t differs = 0;
    // Little-endian words: the bytes of 0xAABBGGRR are R, G, B, A.
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = row[x];
      const std::uint32_t bytes =
          0xFF000000u | (pixel & 0x0000FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
      differs |= bytes ^ out[x];
      out[x] = bytes;
    }
    if (differs == 0) continue;
    if (changed.first > y) changed.first = y;
    changed.last = y;
  }
  return changed;
}
