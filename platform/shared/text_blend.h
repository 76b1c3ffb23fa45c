// Laying a rendered line of text over the frame.
#pragma once

#include <cstdint>

#include "platform/shared/letterbox.h"

struct PixelPlane {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes from one row to the next
};

// Blends `glyphs` (ARGB8888: the text's colour, its coverage in alpha) over
// the frame with its top-left corner at (x, y). Only what lies inside the
// frame is touched, and every pixel written keeps 0 in its top byte. The
// part of the frame that changed; empty when none did.
FrameRect blend_text(const PixelPlane& frame, const PixelPlane& glyphs, int x, int y);
