// PNG files without a compression library: the image data goes into stored
// (uncompressed) deflate blocks, checked with our own CRC-32 and Adler-32.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_buffer.h"
#include "image.h"

namespace gen {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
Bytes zlib_stored(const Bytes& raw);

// An 8-bit RGBA PNG (colour type 6, no interlace). `alpha` holds one value
// per pixel (255 = opaque); empty means fully opaque.
Bytes encode_png_rgba(const Image& image, const std::vector<std::uint8_t>& alpha);

}  // namespace gen
