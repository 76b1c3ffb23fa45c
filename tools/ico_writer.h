// Windows icon files (.ico): an icon directory and its images.
#pragma once

#include <vector>

#include "byte_buffer.h"
#include "image.h"

namespace gen {

struct IconImage {
  Image pixels;                   // at most 256 x 256
  std::vector<bool> transparent;  // one flag per pixel; empty = all opaque
};

// An .ico file holding the images in order, each as a 24-bit DIB with its
// AND mask (ICONDIR, one ICONDIRENTRY per image, then the images).
Bytes encode_ico(const std::vector<IconImage>& images);

}  // namespace gen
