#include "png_writer.h"

#include <algorithm>
#include <array>
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

}  // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = make_crc_table();
  crc ^= 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t a = 1, b = 0;
  for (std::size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

Bytes zlib_stored(const Bytes& raw) {
  Bytes out;
  put_u8(out, 0x78);  // deflate, 32 KiB window
  put_u8(out, 0x01);  // no preset dictionary, fastest; (0x78 << 8 | 0x01) % 31 == 0
  std::size_t pos = 0;
  do {
    const std::size_t len = std::min<std::size_t>(raw.size() - pos, 65535);
    const bool last = pos + len == raw.size();
    put_u8(out, last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    put_u8(out, len & 0xFF);
    put_u8(out, len >> 8);
    put_u8(out, ~len & 0xFF);
    put_u8(out, (~len >> 8) & 0xFF);
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
               raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
  } while (pos < raw.size());
  put_be32(out, adler32(raw.data(), raw.size()));
  return out;
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
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace gen
