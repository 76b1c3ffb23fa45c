#include "image.h"

#include <algorithm>

namespace gen {

namespace {
std::uint8_t lerp8(int a, int b, int t) {
  return static_cast<std::uint8_t>((a * (255 - t) + b * t + 127) / 255);
}
}  // namespace

Rgb mix(Rgb a, Rgb b, int t) {
  t = std::clamp(t, 0, 255);
  return Rgb{lerp8(a.r, b.r, t), lerp8(a.g, b.g, t), lerp8(a.b, b.b, t)};
}

Rgb shade(Rgb c, int percent) {
  auto s = [percent](int v) {
    return static_cast<std::uint8_t>(std::clamp((v * percent + 50) / 100, 0, 255));
  };
  return Rgb{s(c.r), s(c.g), s(c.b)};
}

Image::Image(int w, int h, Rgb fill)
    : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

void Image::blend(int x, int y, Rgb c, int alpha) {
  if (!inside(x, y) || alpha <= 0) return;
  Rgb& p = pixels[static_cast<std::size_t>(y) * width + x];
  p = alpha >= 255 ? c : mix(p, c, alpha);
}

void Image::fill_rect(int x, int y, int w, int h, Rgb c) {
  for (int yy = std::max(y, 0); yy < std::min(y + h, height); ++yy)
    for (int xx = std::max(x, 0); xx < std::min(x + w, width); ++xx)
      pixels[static_cast<std::size_t>(yy) * width + xx] = c;
}

void Image::paste(const Image& src, int x, int y, bool use_key, Rgb key) {
  for (int sy = 0; sy < src.height; ++sy)
    for (int sx = 0; sx < src.width; ++sx) {
      Rgb c = src.at(sx, sy);
      if (use_key && c == key) continue;
      set(x + sx, y + sy, c);
    }
}

Image scale_up(const Image& src, int factor) {
  Image out(src.width * factor, src.height * factor);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.set(x, y, src.at(x / factor, y / factor));
  return out;
}

void replace_color(Image& image, Rgb from, Rgb to) {
  for (Rgb& p : image.pixels)
    if (p == from) p = to;
}

}  // namespace gen
