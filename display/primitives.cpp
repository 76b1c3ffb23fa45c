#include "display/primitives.h"

#include <algorithm>
#include <cstring>

#include "display/pixel_rows.h"
#include "platform/platform.h"

extern BitmapImage missile_image;

int blit_rgb24(const FrameView& frame, const BitmapImage& image, std::int32_t w, std::int32_t h,
               std::int32_t x, std::int32_t y) {
  if (frame.pixels == nullptr || image.pixels == nullptr || w <= 0 || h <= 0) return 1;
  // Clip in 64-bit so that no sum of a far-off position can overflow.
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, screen_width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, screen_height);
  if (left >= right || top >= bottom) return 1;
  const std::int64_t source_stride = std::int64_t{w} * 3;
  for (std::int64_t row = top; row < bottom; ++row) {
    const std::uint8_t* source = image.pixels + (row - y) * source_stride + (left - x) * 3;
    std::uint32_t* target = frame_row(frame, static_cast<std::int32_t>(row)) + left;
    convert_bgr_row(source, target, right - left);
  }
  return 1;
}

void draw_missiles(const FrameView& frame, int n, const Missile* missiles) {
  for (int i = 0; i < n; ++i) {
    const Missile& missile = missiles[i];
    if (missile.active == 1 && missile.y > 0) {
      blit_rgb24(frame, missile_image, missile_size, missile_size, missile.x, missile.y);
    }
  }
}

int frame_has_color(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    std::uint32_t color_a, std::uint32_t color_b, const FrameView& frame) {
  if (frame.pixels == nullptr) return 0;
  left = std::clamp(left, 0, screen_width - 1);
  right = std::clamp(right, 0, screen_width - 1);
  top = std::clamp(top, 0, screen_height - 1);
  bottom = std::clamp(bottom, 0, screen_height - 1);
  for (std::int32_t y = top; y <= bottom; ++y) {
    const std::uint32_t* row = frame_row(frame, y);
    for (std::int32_t x = left; x <= right; ++x) {
      if (row[x] == color_a || row[x] == color_b) return 1;
    }
  }
  return 0;
}

int draw_text(const char* text, std::int32_t x, std::int32_t y, std::uint32_t colorref) {
  return platform::draw_text(text, x, y, colorref) ? 1 : 0;
}

void clear_frame(const FrameView& frame) {
  constexpr std::size_t row_bytes = screen_width * 4;
  if (frame.pitch == static_cast<std::int32_t>(row_bytes)) {
    std::memset(frame.pixels, 0, row_bytes * screen_height);
    return;
  }
  for (std::int32_t y = 0; y < screen_height; ++y) std::memset(frame_row(frame, y), 0, row_bytes);
}
