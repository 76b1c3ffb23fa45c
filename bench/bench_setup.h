// What the core benchmarks stand on: the game's generated images loaded
// through the in-memory platform, and a frame of play laid out as in the
// middle of a wave.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/frame_view.h"

namespace bench_setup {

// The directory of the generated images (beside the program in the build).
const std::string& image_dir();

// Fresh game and platform state with the five sprites loaded; false (with a
// message on standard error) when the images are missing.
bool load_sprites();

// A full grid, the player, and all 25 missiles in flight inside the frame.
void lay_out_play();

// A 1024 x 768 frame in memory of its own, rows back to back.
struct OwnFrame {
  std::vector<std::uint32_t> memory;
  FrameView view;
  OwnFrame();
};

// The frame of play exactly as the frame step composes it.
void compose_play_frame(const FrameView& frame);

// Every rectangle that frame copies, in drawing order.
struct Rect {
  std::int32_t x, y, w, h;
};
std::vector<Rect> play_frame_rectangles();

}  // namespace bench_setup
