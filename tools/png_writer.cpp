#include "png_writer.h"

#include <zlib.h>

#include <array>
#include <stdexcept>
#include <string_view>

namespace gen {

namespace {

std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void put_chunk(Bytes& out, std::string_view type, const Bytes& body) {
  put_be32(out, static_cast<std::uint32_t>(body.size()));
  Bytes typed;
  put_tag(typed, type);
  put_bytes(typed, body);
  put_bytes(out, typed);
  put_be32(out, crc32(typed.data(), typed.size()));
}

// zlib at its strongest: the enlarged icons are long runs of a few colours.
Bytes zlib_compressed(const Bytes& raw) {
  uLongf size = compressBound(raw.size());
  Bytes out(size);
  if (compress2(out.data(), &size, raw.data(), raw.size(), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib could not compress a PNG's pixels");
  out.resize(size);
  return out;
}

}  // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = make_crc_table();
  crc ^= 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

Bytes encode_png_rgba(const Image& image, const std::vector<std::uint8_t>& alpha) {
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(image.height) * (1 + image.width * 4));
  for (int y = 0; y < image.height; ++y) {
    put_u8(raw, 0);  // filter: none
    for (int x = 0; x < image.width; ++x) {
      Rgb c = image.at(x, y);
      put_u8(raw, c.r);
      put_u8(raw, c.g);
      put_u8(raw, c.b);
      put_u8(raw, alpha.empty() ? 255 : alpha[static_cast<std::size_t>(y) * image.width + x]);
    }
  }

  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  put_be32(ihdr, static_cast<std::uint32_t>(image.width));
  put_be32(ihdr, static_cast<std::uint32_t>(image.height));
  put_u8(ihdr, 8);  // bit depth
  put_u8(ihdr, 6);  // colour type: RGBA
  put_u8(ihdr, 0);  // compression: deflate
  put_u8(ihdr, 0);  // filter method
  put_u8(ihdr, 0);  // no interlace
  put_chunk(out, "IHDR", ihdr);
  put_chunk(out, "IDAT", zlib_compressed(raw));
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace gen
