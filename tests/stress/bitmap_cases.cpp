#include "tests/stress/bitmap_cases.h"

#include <algorithm>

namespace bitmap_cases {

namespace {

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// Cheap enough for full-screen pictures, and different in every byte of a
// row and from row to row.
std::uint8_t content(std::uint32_t seed, std::int64_t x, std::int64_t y, int channel) {
  return static_cast<std::uint8_t>(seed * 97 + x * 7 + y * 13 + (x >> 8) * 3 + channel * 71);
}

std::int64_t padded_row_bytes(const Layout& layout) {
  const std::int64_t bits = std::int64_t{layout.width} * layout.bit_count;
  return (bits + 31) / 32 * 4;
}

Bytes pixel_rows(const Layout& layout) {
  const std::int64_t row_bytes = padded_row_bytes(layout);
  Bytes pixels;
  pixels.reserve(static_cast<std::size_t>(row_bytes * layout.height));
  for (std::int32_t i = 0; i < layout.height; ++i) {
    const std::int32_t y = layout.top_down ? i : layout.height - 1 - i;
    for (std::int64_t b = 0; b < row_bytes; ++b) {
      pixels.push_back(content(layout.seed, b, y, 0));
    }
  }
  return pixels;
}

}  // namespace

Bytes encode(const Layout& layout) {
  const std::uint32_t palette_entries = layout.bit_count <= 8 ? 1u << layout.bit_count : 0u;
  const Bytes pixels = pixel_rows(layout);
  const std::uint32_t offset = 54 + palette_entries * 4;
  Bytes out;
  put16(out, layout.magic);
  put32(out, static_cast<std::uint32_t>(offset + pixels.size()));
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(layout.width));
  put32(out, static_cast<std::uint32_t>(layout.top_down ? -layout.height : layout.height));
  put16(out, 1);
  put16(out, layout.bit_count);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(layout.size_image >= 0 ? layout.size_image
                                                               : std::int64_t(pixels.size())));
  put32(out, 2835);
  put32(out, 2835);
  put32(out, palette_entries);
  put32(out, 0);
  for (std::uint32_t i = 0; i < palette_entries; ++i) {
    for (int c = 0; c < 3; ++c) out.push_back(content(layout.seed, i, -1, c));
    out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes sound_24bit(std::int32_t width, std::int32_t height, std::uint32_t seed) {
  Layout layout;
  layout.width = width;
  layout.height = height;
  layout.seed = seed;
  return encode(layout);
}

std::vector<Case> unfit_files(std::int32_t width, std::int32_t height) {
  std::vector<Case> cases;
  auto add = [&](std::string name, const Layout& layout, bool loadable) {
    cases.push_back({std::move(name), encode(layout), loadable});
  };
  Layout base;
  base.width = width;
  base.height = height;
  const Bytes sound = encode(base);

  Layout narrow = base;
  narrow.width = std::max(1, width / 2);
  add("half as wide", narrow, true);
  Layout wide = base;
  wide.width = width + 4;
  add("wider", wide, true);
  Layout short_one = base;
  short_one.height = height - 1;
  add("one row short", short_one, true);
  for (std::uint16_t bits : {1, 4, 8, 16, 32}) {
    Layout depth = base;
    depth.bit_count = bits;
    add(std::to_string(bits) + "-bit", depth, bits == 8 || bits == 16);
  }
  Layout top_down = base;
  top_down.top_down = true;
  add("negative height (top-down rows)", top_down, false);
  Layout oversized = base;
  oversized.size_image = std::int64_t{width} * 3 * height + 4096;
  add("biSizeImage beyond the file", oversized, false);
  Layout huge = base;
  huge.size_image = 0xFFFFFFF0;
  add("biSizeImage near 4 GiB", huge, false);
  Layout zero_size = base;
  zero_size.size_image = 0;
  add("biSizeImage of 0", zero_size, false);
  Layout undersized = base;
  undersized.size_image = std::int64_t{width} * 3 * height - 1;
  add("biSizeImage one byte short of the rows", undersized, false);
  Layout foreign = base;
  foreign.magic = 0x4B50;  // "PK": an archive
  add("not a BMP file", foreign, false);

  cases.push_back({"zero-size file", {}, false});
  cases.push_back({"cut inside the file header", Bytes(sound.begin(), sound.begin() + 9), false});
  cases.push_back({"cut inside the info header", Bytes(sound.begin(), sound.begin() + 40), false});
  cases.push_back({"headers only", Bytes(sound.begin(), sound.begin() + 54), false});
  cases.push_back({"cut half-way through the pixels",
                   Bytes(sound.begin(),
                         sound.begin() + static_cast<std::ptrdiff_t>(54 + (sound.size() - 54) / 2)),
                   false});
  return cases;
}

}  // namespace bitmap_cases
