// Where the 1024 x 768 frame goes inside a window of any size.
#pragma once

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
