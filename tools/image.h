// An RGB picture in memory and the few drawing operations the art needs.
#pragma once

#include <cstdint>
#include <vector>

namespace gen {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb rgb(std::uint32_t hex) {
  return Rgb{static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8),
             static_cast<std::uint8_t>(hex)};
}

// Linear mix of two colours, t in 0..255 (0 = a, 255 = b).
Rgb mix(Rgb a, Rgb b, int t);
// The colour scaled by percent (100 = unchanged), clamped.
Rgb shade(Rgb c, int percent);

// Rows top-down, packed; (0, 0) is the top-left pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Image() = default;
  Image(int w, int h, Rgb fill = Rgb{});

  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  void set(int x, int y, Rgb c) {
    if (inside(x, y)) pixels[static_cast<std::size_t>(y) * width + x] = c;
  }
  // Blends c over the pixel with coverage alpha 0..255.
  void blend(int x, int y, Rgb c, int alpha);
  void fill_rect(int x, int y, int w, int h, Rgb c);
  // Copies src with its top-left at (x, y); pixels equal to `key` are skipped
  // when use_key is set.
  void paste(const Image& src, int x, int y, bool use_key = false, Rgb key = Rgb{});
};

// Nearest-neighbour enlargement by a whole factor: every pixel becomes a
// factor x factor block, so edges stay crisp.
Image scale_up(const Image& src, int factor);

// Every pixel of colour `from` becomes `to`.
void replace_color(Image& image, Rgb from, Rgb to);

}  // namespace gen
