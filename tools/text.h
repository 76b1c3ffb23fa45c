// Text rendered from a TrueType font (DejaVu Sans) at build time, as a
// coverage mask that the pictures draw in their own colours.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image.h"

namespace gen {

// Coverage 0..255 per pixel; `baseline` is the row of the text's baseline.
struct TextMask {
  int width = 0;
  int height = 0;
  int baseline = 0;
  std::vector<std::uint8_t> coverage;
  std::uint8_t at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return coverage[static_cast<std::size_t>(y) * width + x];
  }
};

enum class Raster { antialiased, monochrome };

class Font {
 public:
  // Throws std::runtime_error when the font can't be loaded.
  explicit Font(const std::string& path);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // One line of ASCII text at a pixel size. The mask is exactly as wide as
  // the pen travels and as high as the font's ascender to descender.
  TextMask render(const std::string& text, int pixel_size, Raster raster,
                  int letter_spacing = 0) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The mask grown by `radius` pixels in every direction (a square brush):
// each pixel takes the largest coverage within the radius. The mask gets
// `radius` pixels of margin on each side.
TextMask dilate(const TextMask& mask, int radius);

// Each mask pixel becomes a factor x factor block: chunky pixel letters.
TextMask enlarge(const TextMask& mask, int factor);

// Coverage at or above the threshold becomes 255, the rest 0.
TextMask threshold(const TextMask& mask, int level = 128);

// Draws the mask with its top-left at (x, y); the colour of each pixel comes
// from `paint` (mask row and column), blended by coverage.
void draw_mask(Image& image, const TextMask& mask, int x, int y,
               const std::function<Rgb(int mx, int my)>& paint);
void draw_mask(Image& image, const TextMask& mask, int x, int y, Rgb colour);

}  // namespace gen
