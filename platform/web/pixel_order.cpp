#include "platform/web/pixel_order.h"

void to_canvas_order(const std::uint32_t* frame, std::uint32_t* rgba, std::size_t count) {
  // Little-endian words: the bytes of 0xAABBGGRR are R, G, B, A.
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t pixel = frame[i];
    rgba[i] = 0xFF000000u | (pixel & 0x0000FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
  }
}
