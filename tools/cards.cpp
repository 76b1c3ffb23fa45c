#include "cards.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

#include "palette.h"
#include "sprite_art.h"

namespace gen {

namespace {

// ---- text helpers

enum class Align { left, center, right };

// Draws one line of antialiased text with its top at y; x is the left edge,
// the centre or the right edge. Returns the width.
int draw_line(Image& image, const Font& font, const std::string& text, int size, int x, int y,
              Rgb colour, Align align = Align::center, Rgb shadow = black,
              bool with_shadow = false) {
  const TextMask mask = font.render(text, size, Raster::antialiased);
  int left = x;
  if (align == Align::center) left = x - mask.width / 2;
  if (align == Align::right) left = x - mask.width;
  if (with_shadow) draw_mask(image, mask, left + 2, y + 2, shadow);
  draw_mask(image, mask, left, y, colour);
  return mask.width;
}

struct TitleStyle {
  Rgb top;      // fill at the top of the letters
  Rgb bottom;   // fill at the bottom
  Rgb outline;  // one cell around the letters
  Rgb shadow;   // one cell down and right
};

// A title in chunky pixel letters: the text is rendered small in monochrome
// from the bold face, then every pixel becomes a `scale` x `scale` block. The
// fill is a banded gradient, one band per cell row; a one-cell outline and a
// shadow one cell down and right surround it. The largest font size up to
// `max_size` whose letters fit in `max_width` is taken. Centred on cx, the
// top of the ink at y. Returns the height of the ink.
int draw_pixel_title(Image& image, const Font& bold, const std::string& text, int max_size,
                     int scale, int max_width, int cx, int y, const TitleStyle& style) {
  TextMask small;
  for (int size = max_size;; --size) {
    small = bold.render(text, size, Raster::monochrome, 1);
    if ((small.width + 2) * scale <= max_width) break;
    if (size <= 8) throw std::runtime_error("title too wide: " + text);
  }
  // rows and columns that hold ink
  int first = small.height, last = -1, ink_left = small.width, ink_right = -1;
  for (int r = 0; r < small.height; ++r)
    for (int c = 0; c < small.width; ++c)
      if (small.at(c, r)) {
        first = std::min(first, r);
        last = std::max(last, r);
        ink_left = std::min(ink_left, c);
        ink_right = std::max(ink_right, c);
      }
  if (last < 0) throw std::runtime_error("empty title");
  const TextMask outline = enlarge(dilate(small, 1), scale);
  const int left = cx - (ink_left + ink_right + 1) * scale / 2;
  const int top = y - first * scale;
  // the outline mask has one cell of margin: its corner is one cell up-left
  draw_mask(image, outline, left, top, style.shadow);
  draw_mask(image, outline, left - scale, top - scale, style.outline);
  const int span = std::max(1, last - first);
  draw_mask(image, enlarge(small, scale), left, top, [&](int, int my) {
    const int row = my / scale;
    return mix(style.top, style.bottom, (row - first) * 255 / span);
  });
  return (last - first + 1) * scale;
}

// ---- backgrounds and frames

// A sparse star field: single dim stars, some brighter ones, a few crosses.
void star_field(Image& image, unsigned seed, int count, int x0, int y0, int w, int h) {
  unsigned s = seed;
  auto next = [&s]() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  };
  static const Rgb tints[] = {rgb(0xFFFFFF), rgb(0xBFD4FF), rgb(0xFFF1C4), rgb(0xC9C9FF)};
  for (int i = 0; i < count; ++i) {
    const int x = x0 + static_cast<int>(next() % static_cast<unsigned>(w));
    const int y = y0 + static_cast<int>(next() % static_cast<unsigned>(h));
    const Rgb tint = tints[next() % 4];
    const unsigned kind = next() % 20;
    if (kind < 14) {
      image.set(x, y, shade(tint, 25 + static_cast<int>(next() % 35)));
    } else if (kind < 19) {
      image.fill_rect(x, y, 2, 2, shade(tint, 55 + static_cast<int>(next() % 30)));
    } else {
      const Rgb c = shade(tint, 90);
      image.set(x, y, c);
      for (int d = 1; d <= 2; ++d) {
        const Rgb arm = shade(tint, d == 1 ? 60 : 30);
        image.set(x - d, y, arm);
        image.set(x + d, y, arm);
        image.set(x, y - d, arm);
        image.set(x, y + d, arm);
      }
    }
  }
}

// A rectangle with its corners notched on a grid of `cell` pixels, `notch`
// cells deep (a pixel-art rounded rectangle).
void notched_rect(Image& image, int x, int y, int w, int h, int cell, int notch, Rgb c) {
  for (int yy = 0; yy < h; ++yy) {
    const int cy = std::min(yy, h - 1 - yy) / cell;
    const int cut = cy < notch ? (notch - cy) * cell : 0;
    image.fill_rect(x + cut, y + yy, w - 2 * cut, 1, c);
  }
}

struct CardStyle {
  Rgb rim;     // outer ring
  Rgb band;    // second ring
  Rgb inner;   // thin inner line
  Rgb ground;  // the card's face
};

// A 640 x 480 card on black: a notched frame of three rings around a dark
// face with a few faint stars, and corner studs.
Image card_base(const CardStyle& style, unsigned seed) {
  Image card(640, 480, black);
  const int cell = 4;
  notched_rect(card, 0, 0, 640, 480, cell, 3, style.rim);
  notched_rect(card, 4, 4, 632, 472, cell, 2, style.band);
  notched_rect(card, 12, 12, 616, 456, cell, 2, style.inner);
  notched_rect(card, 16, 16, 608, 448, cell, 2, style.ground);
  star_field(card, seed, 90, 24, 24, 592, 432);
  // corner studs
  for (int sx : {28, 604})
    for (int sy : {28, 444}) {
      card.fill_rect(sx, sy, 8, 8, style.rim);
      card.fill_rect(sx + 2, sy + 2, 4, 4, style.inner);
    }
  return card;
}

// A five-pointed star, 11 x 10 cells of 4 pixels: bright when earned.
Image star_icon(bool earned, Rgb accent) {
  static const std::vector<std::string> rows = {
      ".....A.....",  //
      "....AHA....",  //
      "....AHA....",  //
      "AAAAHAAAAAA",  //
      ".AHHAAAAAD.",  //
      "..AAAAAAD..",  //
      "..AAAAAAD..",  //
      ".AAAD.AAAD.",  //
      ".AAD...AAD.",  //
      "AD.......AD",  //
  };
  std::map<char, Rgb> legend;
  if (earned)
    legend = {{'A', accent}, {'H', mix(accent, white, 150)}, {'D', shade(accent, 60)}};
  else
    legend = {{'A', rgb(0x343950)}, {'H', rgb(0x40465E)}, {'D', rgb(0x262A3A)}};
  return grid_art(rows, legend, 4);
}

}  // namespace

Image intro_picture(const Fonts& fonts) {
  Image img(1024, 768, black);
  star_field(img, 20240611u, 420, 0, 0, 1024, 768);

  // the title
  const TitleStyle fire{rgb(0xFFF27A), rgb(0xFF4A1C), rgb(0x6A0E08), rgb(0x2A0620)};
  draw_pixel_title(img, fonts.bold, "MARCHFIRE", 30, 4, 900, 512, 52, fire);
  draw_line(img, fonts.regular, "Hold the line: four waves are on the march.", 24, 512, 196,
            rgb(0xB9C6EA));

  // a row of enemies (a look-alike green: probe_color is the game's alone)
  const Image enemy = scale_up(enemy_sprite(picture_enemy_body), 2);
  for (int i = 0; i < 6; ++i) img.paste(enemy, 68 + i * (128 + 24), 262, true, black);

  // the player's ship firing up at them
  const Image ship = player_sprite();
  const Image bolt = missile_sprite();
  img.paste(ship, 480, 446, true, black);
  img.paste(bolt, 508, 420, true, black);
  img.paste(bolt, 508, 394, true, black);

  // the controls, as key caps and what they do
  struct Control {
    std::vector<std::string> keys;
    std::string action;
  };
  const Control controls[] = {
      {{"Left", "Right"}, "move"}, {{"Space"}, "fire"}, {{"Enter"}, "start"}, {{"Escape"}, "quit"}};
  const Rgb cap_face = rgb(0x27304F), cap_edge = rgb(0xA9B6E0), cap_base = rgb(0x151A2E);
  const int row_y[] = {548, 614};
  const int col_x[] = {268, 712};  // the line between caps and words
  for (int i = 0; i < 4; ++i) {
    const Control& ctl = controls[i];
    const int y = row_y[i % 2];
    const int mid = col_x[i / 2];
    int right = mid - 16;
    for (auto it = ctl.keys.rbegin(); it != ctl.keys.rend(); ++it) {
      const TextMask label = fonts.bold.render(*it, 22, Raster::antialiased);
      const int w = std::max(label.width + 28, 56);
      const int x = right - w;
      notched_rect(img, x, y, w, 48, 4, 1, cap_edge);
      notched_rect(img, x + 2, y + 2, w - 4, 44, 4, 1, cap_base);
      notched_rect(img, x + 2, y + 2, w - 4, 38, 4, 1, cap_face);
      draw_mask(img, label, x + (w - label.width) / 2, y + 20 - label.baseline / 2 - 3, white);
      right = x - 10;
    }
    draw_line(img, fonts.regular, ctl.action, 28, mid + 14, y + 6, rgb(0xF2F2F8), Align::left);
  }
  draw_line(img, fonts.bold, "Press Enter to march", 22, 512, 712, rgb(0xFFD23C));
  return img;
}

Image level_card(const Fonts& fonts, int wave) {
  struct Level {
    const char* title;
    const char* line;
    const char* footer;
    Rgb accent;
  };
  static const Level levels[] = {
      {"SOPHOMORE", "Wave 1 cleared", "The next wave marches faster.", rgb(0x3CD2FF)},
      {"JUNIOR", "Wave 2 cleared", "Faster still, and firing more.", rgb(0x8CFF5A)},
      {"SENIOR", "Wave 3 cleared", "One wave to go.", rgb(0xD77CFF)},
      {"FINISHED", "All four waves cleared", "Class dismissed!", rgb(0xFFC83C)},
  };
  if (wave < 1 || wave > 4) throw std::invalid_argument("wave");
  const Level& level = levels[wave - 1];
  const CardStyle style{level.accent, shade(level.accent, 45), shade(level.accent, 75),
                        mix(black, level.accent, 22)};
  Image card = card_base(style, 777u + static_cast<unsigned>(wave));

  draw_line(card, fonts.bold, wave == 4 ? "SCHOOL IS OUT" : "YEAR PASSED", 20, 320, 50,
            shade(level.accent, 85));
  const TitleStyle title{mix(white, level.accent, 60), level.accent, shade(level.accent, 25),
                         black};
  draw_pixel_title(card, fonts.bold, level.title, 24, 4, 560, 320, 100, title);
  draw_line(card, fonts.regular, level.line, 34, 320, 214, white, Align::center, black, true);

  // progress: one cap per cleared wave
  for (int i = 0; i < 4; ++i) {
    const Image star = star_icon(i < wave, level.accent);
    card.paste(star, 320 - 2 * 44 - 36 + i * (44 + 24), 286, true, black);
  }
  draw_line(card, fonts.regular, level.footer, 24, 320, 384, rgb(0xC8CCE0));
  return card;
}

Image dead_card(const Fonts& fonts) {
  const Rgb red = rgb(0xFF3B3B);
  const CardStyle style{red, shade(red, 45), shade(red, 75), rgb(0x1C0508)};
  Image card = card_base(style, 4242u);
  const TitleStyle title{rgb(0xFFD0C0), rgb(0xE0201C), rgb(0x3A0204), black};
  draw_pixel_title(card, fonts.bold, "GAME OVER", 24, 4, 560, 320, 56, title);
  draw_line(card, fonts.regular, "The march reached you.", 28, 320, 170, rgb(0xE6C8C8));

  const Image enemy = scale_up(enemy_sprite(picture_enemy_body), 2);
  for (int i = 0; i < 3; ++i) card.paste(enemy, 320 - 64 - 152 + i * 152, 226, true, black);

  draw_line(card, fonts.bold, "Enter: play again   Escape: quit", 28, 320, 382, white,
            Align::center, black, true);
  return card;
}

}  // namespace gen
