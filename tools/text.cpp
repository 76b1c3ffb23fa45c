#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <stdexcept>

namespace gen {

struct Font::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

Font::Font(const std::string& path) : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType does not start");
  if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
    FT_Done_FreeType(impl_->library);
    throw std::runtime_error("cannot load the font " + path);
  }
}

Font::~Font() {
  FT_Done_Face(impl_->face);
  FT_Done_FreeType(impl_->library);
}

TextMask Font::render(const std::string& text, int pixel_size, Raster raster,
                      int letter_spacing) const {
  FT_Face face = impl_->face;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size)) != 0)
    throw std::runtime_error("the font refuses the size");
  const FT_Int32 flags =
      FT_LOAD_RENDER | (raster == Raster::monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  const int descender = static_cast<int>(-(face->size->metrics.descender) >> 6);

  // First pass: the pen positions and the extent of the ink.
  struct Placed {
    int pen_x;
    FT_UInt glyph;
  };
  std::vector<Placed> placed;
  int pen = 0;
  FT_UInt previous = 0;
  for (unsigned char ch : text) {
    FT_UInt glyph = FT_Get_Char_Index(face, ch);
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
      pen += static_cast<int>(kern.x >> 6);
    }
    if (FT_Load_Glyph(face, glyph, flags) != 0) throw std::runtime_error("a glyph does not load");
    placed.push_back({pen, glyph});
    pen += static_cast<int>((face->glyph->advance.x + 32) >> 6) + letter_spacing;
    previous = glyph;
  }
  if (!text.empty()) pen -= letter_spacing;

  TextMask mask;
  mask.width = std::max(pen, 1);
  mask.height = ascender + descender;
  mask.baseline = ascender;
  mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);

  for (const Placed& p : placed) {
    if (FT_Load_Glyph(face, p.glyph, flags) != 0) throw std::runtime_error("a glyph does not load");
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int left = p.pen_x + slot->bitmap_left;
    const int top = mask.baseline - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        int value;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          value = (line[col / 8] & (0x80 >> (col % 8))) ? 255 : 0;
        else
          value = line[col];
        const int x = left + static_cast<int>(col);
        const int y = top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
        std::uint8_t& cell = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
        cell = static_cast<std::uint8_t>(std::max<int>(cell, value));
      }
  }
  return mask;
}

TextMask dilate(const TextMask& mask, int radius) {
  TextMask out;
  out.width = mask.width + 2 * radius;
  out.height = mask.height + 2 * radius;
  out.baseline = mask.baseline + radius;
  out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int best = 0;
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
          best = std::max<int>(best, mask.at(x - radius + dx, y - radius + dy));
      out.coverage[static_cast<std::size_t>(y) * out.width + x] = static_cast<std::uint8_t>(best);
    }
  return out;
}

TextMask enlarge(const TextMask& mask, int factor) {
  TextMask out;
  out.width = mask.width * factor;
  out.height = mask.height * factor;
  out.baseline = mask.baseline * factor;
  out.coverage.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.coverage[static_cast<std::size_t>(y) * out.width + x] = mask.at(x / factor, y / factor);
  return out;
}

TextMask threshold(const TextMask& mask, int level) {
  TextMask out = mask;
  for (std::uint8_t& c : out.coverage) c = c >= level ? 255 : 0;
  return out;
}

void draw_mask(Image& image, const TextMask& mask, int x, int y,
               const std::function<Rgb(int, int)>& paint) {
  for (int my = 0; my < mask.height; ++my)
    for (int mx = 0; mx < mask.width; ++mx) {
      const int a = mask.at(mx, my);
      if (a) image.blend(x + mx, y + my, paint(mx, my), a);
    }
}

void draw_mask(Image& image, const TextMask& mask, int x, int y, Rgb colour) {
  draw_mask(image, mask, x, y, [colour](int, int) { return colour; });
}

}  // namespace gen
