#include "platform/shared/letterbox.h"

#include <cstdint>

FrameRect fit_frame(int output_width, int output_height, int frame_width, int frame_height) {
  FrameRect rect;
  if (output_width <= 0 || output_height <= 0 || frame_width <= 0 || frame_height <= 0) {
    return rect;
  }
  // Compare the two aspect ratios by cross-multiplying in 64 bits, so a
  // large output can't overflow and no rounding decides the side of the bars.
  const std::int64_t wide = std::int64_t{output_width} * frame_height;
  const std::int64_t tall = std::int64_t{output_height} * frame_width;
  if (wide >= tall) {
    // The output is wider than the frame: full height, bars left and right.
    rect.h = output_height;
    rect.w = static_cast<int>(std::int64_t{output_height} * frame_width / frame_height);
  } else {
    rect.w = output_width;
    rect.h = static_cast<int>(std::int64_t{output_width} * frame_height / frame_width);
  }
  rect.x = (output_width - rect.w) / 2;
  rect.y = (output_height - rect.h) / 2;
  return rect;
}

std::array<FrameRect, 4> letterbox_bars(int output_width, int output_height,
                                        const FrameRect& frame) {
  const int right = frame.x + frame.w;
  const int bottom = frame.y + frame.h;
  return {FrameRect{0, 0, frame.x, output_height},
          FrameRect{right, 0, output_width - right, output_height},
          FrameRect{frame.x, 0, frame.w, frame.y},
          FrameRect{frame.x, bottom, frame.w, output_height - bottom}};
}
