// Helpers for the asset tests: where the generated files are, and small
// readers written independently of the generator's own writers.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace asset_test {

using Bytes = std::vector<std::uint8_t>;

inline const std::string image_dir = MARCHFIRE_IMAGE_DIR;
inline const std::string generated_dir = MARCHFIRE_GENERATED_DIR;

inline Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t le16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at) | b.at(at + 1) << 8);
}
inline std::uint32_t le32(const Bytes& b, std::size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16;
}
inline std::uint32_t be32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at)) << 24 |
         static_cast<std::uint32_t>(b.at(at + 1)) << 16 |
         static_cast<std::uint32_t>(b.at(at + 2)) << 8 | b.at(at + 3);
}
inline std::string tag(const Bytes& b, std::size_t at) {
  return std::string(reinterpret_cast<const char*>(b.data()) + at, 4);
}

struct PictureExpectation {
  const char* name;
  int width;
  int height;
};

inline void PrintTo(const PictureExpectation& expected, std::ostream* os) {
  *os << expected.name << " " << expected.width << "x" << expected.height;
}

// The eleven pictures the game reads beside the program, at the sizes drawn.
inline const std::vector<PictureExpectation> pictures = {
    {"game_m_modified_small.bmp", 64, 64},
    {"shield_blue.bmp", 240, 89},
    {"shield_yellow.bmp", 240, 89},
    {"spartan.bmp", 64, 56},
    {"missile.bmp", 8, 8},
    {"intro.bmp", 1024, 768},
    {"sophomore.bmp", 640, 480},
    {"junior.bmp", 640, 480},
    {"senior.bmp", 640, 480},
    {"finished.bmp", 640, 480},
    {"dead.bmp", 640, 480},
};

// probe_color as a BMP file stores it: blue, green, red.
constexpr std::uint8_t probe_b = 0x06, probe_g = 0x6F, probe_r = 0x12;

// The pixels of a 24-bit BMP file as read straight from the file (rows as
// stored, bottom-up, with their padding), or nothing when the headers are
// not those of an uncompressed 24-bit file.
struct Bmp24 {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  Bytes pixels;  // file order
  // blue, green, red of the pixel at (x, y) counted from the top left
  const std::uint8_t* at(int x, int y) const {
    return pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride +
           static_cast<std::size_t>(x) * 3;
  }
};

inline std::optional<Bmp24> parse_bmp24(const Bytes& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  if (le32(file, 14) != 40 || le16(file, 28) != 24 || le32(file, 30) != 0) return std::nullopt;
  Bmp24 bmp;
  bmp.width = static_cast<std::int32_t>(le32(file, 18));
  bmp.height = static_cast<std::int32_t>(le32(file, 22));
  if (bmp.width <= 0 || bmp.height <= 0) return std::nullopt;
  bmp.stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) / 4 * 4;
  const std::size_t offset = le32(file, 10);
  if (offset + bmp.stride * static_cast<std::size_t>(bmp.height) > file.size()) return std::nullopt;
  bmp.pixels.assign(file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
  return bmp;
}

inline std::size_t count_probe_pixels(const Bmp24& bmp) {
  std::size_t n = 0;
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) {
      const std::uint8_t* p = bmp.at(x, y);
      if (p[0] == probe_b && p[1] == probe_g && p[2] == probe_r) ++n;
    }
  return n;
}

// A RIFF chunk as found in a file: its id, where its data starts, its size.
struct Chunk {
  std::string id;
  std::size_t data_at = 0;
  std::uint32_t size = 0;
};

// The chunks of a RIFF WAVE file in order (padding to even sizes skipped);
// empty when the file is not RIFF WAVE or a chunk runs past the RIFF size.
inline std::vector<Chunk> riff_chunks(const Bytes& file) {
  if (file.size() < 12 || tag(file, 0) != "RIFF" || tag(file, 8) != "WAVE") return {};
  const std::size_t end = 8 + static_cast<std::size_t>(le32(file, 4));
  if (end > file.size()) return {};
  std::vector<Chunk> chunks;
  std::size_t at = 12;
  while (at + 8 <= end) {
    Chunk c{tag(file, at), at + 8, le32(file, at + 4)};
    if (c.data_at + c.size > end) return {};
    chunks.push_back(c);
    at = c.data_at + c.size + (c.size % 2);
  }
  if (at != end) return {};
  return chunks;
}

}  // namespace asset_test
