// 24-bit BMP files as the game's loader reads them.
#pragma once

#include "byte_buffer.h"
#include "image.h"

namespace gen {

// Bytes per row of a 24-bit image in a BMP file, padded to a multiple of 4.
int bmp_row_stride(int width);

// The 24 bits per pixel encoding of an image: BITMAPFILEHEADER (14 bytes),
// BITMAPINFOHEADER (40 bytes, no compression, biSizeImage set), then the pixel
// array, bottom row first, blue-green-red, rows padded to a multiple of 4
// bytes. The pixel array is the end of the file (bfOffBits = 54).
Bytes encode_bmp24(const Image& image);

// The pixel array as an icon (.ico) stores it: the same BITMAPINFOHEADER
// layout with the height doubled, the colour rows bottom-up, then a 1-bit AND
// mask (1 = transparent) whose rows are padded to 4 bytes.
Bytes encode_icon_dib24(const Image& image, const std::vector<bool>& transparent);

}  // namespace gen
