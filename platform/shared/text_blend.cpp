#include "platform/shared/text_blend.h"

#include <algorithm>

namespace {

std::uint32_t channel(std::uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

std::uint32_t mix(std::uint32_t over, std::uint32_t under, std::uint32_t alpha) {
  return (over * alpha + under * (255u - alpha) + 127u) / 255u;
}

std::uint32_t* row_of(const PixelPlane& plane, int y) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(plane.pixels) +
                                          static_cast<std::ptrdiff_t>(y) * plane.pitch);
}

}  // namespace

FrameRect blend_text(const PixelPlane& frame, const PixelPlane& glyphs, int x, int y) {
  FrameRect changed;
  if (frame.pixels == nullptr || glyphs.pixels == nullptr) return changed;
  // Clip in 64 bits: the position comes from the game and may lie anywhere.
  const long long left = std::max<long long>(x, 0);
  const long long top = std::max<long long>(y, 0);
  const long long right =
      std::min<long long>(static_cast<long long>(x) + glyphs.width, frame.width);
  const long long bottom =
      std::min<long long>(static_cast<long long>(y) + glyphs.height, frame.height);
  if (left >= right || top >= bottom) return changed;

  for (long long fy = top; fy < bottom; ++fy) {
    std::uint32_t* target = row_of(frame, static_cast<int>(fy));
    const std::uint32_t* source = row_of(glyphs, static_cast<int>(fy - y));
    for (long long fx = left; fx < right; ++fx) {
      const std::uint32_t over = source[fx - x];
      const std::uint32_t alpha = over >> 24;
      if (alpha == 0) continue;
      const std::uint32_t under = target[fx];
      target[fx] = mix(channel(over, 16), channel(under, 16), alpha) << 16 |
                   mix(channel(over, 8), channel(under, 8), alpha) << 8 |
                   mix(channel(over, 0), channel(under, 0), alpha);
    }
  }
  changed.x = static_cast<int>(left);
  changed.y = static_cast<int>(top);
  changed.w = static_cast<int>(right - left);
  changed.h = static_cast<int>(bottom - top);
  return changed;
}
