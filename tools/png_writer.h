// PNG files: the image data compressed by zlib, the chunks checked with our
// own CRC-32.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_buffer.h"
#include "image.h"

namespace gen {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

// An 8-bit RGBA PNG (colour type 6, no interlace). `alpha` holds one value
// per pixel (255 = opaque); empty means fully opaque.
Bytes encode_png_rgba(const Image& image, const std::vector<std::uint8_t>& alpha);

}  // namespace gen
