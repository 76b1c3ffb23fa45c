// Where the 1024 x 768 frame goes inside a window of any size.
#pragma once

#include <array>

struct FrameRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

// The largest rectangle of the frame's aspect ratio that fits the output,
// centred, with black bars on the two remaining sides. An empty rectangle for
// an output of no area.
// (The elaborated name: Windows has a drawing function of the same name.)
struct FrameRect fit_frame(int output_width, int output_height, int frame_width, int frame_height);

// What the fitted frame leaves of the output, to be painted black: the bars
// left and right of it at the output's full height, then above and below it
// at the frame's width. Together with the frame they cover every pixel of
// the output once; a side with no bar gets an empty rectangle.
std::array<struct FrameRect, 4> letterbox_bars(int output_width, int output_height,
                                               const struct FrameRect& frame);
