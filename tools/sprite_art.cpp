#include "sprite_art.h"

#include <algorithm>
#include <cstdlib>

#include "palette.h"

namespace gen {

Image grid_art(const std::vector<std::string>& rows, const std::map<char, Rgb>& legend, int cell) {
  const int w = static_cast<int>(rows.front().size());
  const int h = static_cast<int>(rows.size());
  Image out(w * cell, h * cell);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      auto it = legend.find(rows[y][x]);
      out.fill_rect(x * cell, y * cell, cell, cell, it == legend.end() ? black : it->second);
    }
  return out;
}

std::vector<std::string> mirrored(const std::vector<std::string>& left_halves) {
  std::vector<std::string> rows;
  for (const std::string& half : left_halves)
    rows.push_back(half + std::string(half.rbegin(), half.rend()));
  return rows;
}

Image player_sprite() {
  // A bright ship pointing up, cannon in the middle (the game fires from
  // x + 26 .. x + 34 at the ship's top edge).
  static const std::vector<std::string> half = {
      ".......W",  //
      ".......W",  //
      "......cW",  //
      "......cW",  //
      "......bC",  //
      ".....bCC",  //
      ".....bCW",  //
      "....bbCW",  //
      "..r.bCCC",  //
      "..rbbCCC",  //
      ".rbbCCbC",  //
      "rbbCCbbC",  //
      "bbCCbbdb",  //
      "bdd.dd.b",  //
      ".....oY.",  //
      "......o.",  //
  };
  static const std::map<char, Rgb> legend = {
      {'W', white},         {'C', rgb(0x6FE8FF)}, {'c', rgb(0xBFF6FF)}, {'b', rgb(0x2C8CFF)},
      {'d', rgb(0x1A4FB8)}, {'r', rgb(0xFF5A3C)}, {'o', rgb(0xFF9A1E)}, {'Y', rgb(0xFFE34A)},
  };
  return grid_art(mirrored(half), legend, 4);
}

const std::vector<std::string>& enemy_cells() {
  // A Corinthian helmet seen from the front under a transverse crest of
  // horsehair: B is the body colour, the rest are details.
  static const std::vector<std::string> rows = mirrored({
      ".....LBB",  //
      "...LBBLB",  //
      "..LBBLBB",  //
      ".LBBLBBL",  //
      ".BDDDDDD",  //
      "..BBBBBB",  //
      ".BLHBBBB",  //
      ".BLBBBBB",  //
      ".BB....B",  //
      ".BBBY..B",  //
      ".BBBBB.B",  //
      ".DBBBB..",  //
      "..DBBB..",  //
      "...DB...",  //
  });
  return rows;
}

Image enemy_sprite(Rgb body) {
  const std::map<char, Rgb> legend = {
      {'B', body}, {'L', enemy_light}, {'H', enemy_shine}, {'D', enemy_dark}, {'Y', enemy_glint},
  };
  return grid_art(enemy_cells(), legend, 4);
}

Image shield_sprite(bool yellow) {
  const Rgb base = yellow ? rgb(0xF2C41E) : rgb(0x2F6BFF);
  const Rgb light = yellow ? rgb(0xFFEC8A) : rgb(0x86B4FF);
  const Rgb dark = yellow ? rgb(0xB4860C) : rgb(0x1D47B8);
  const Rgb mortar = yellow ? rgb(0x7C5A06) : rgb(0x142F80);
  const Rgb speck = yellow ? rgb(0xE0AE14) : rgb(0x2858E0);

  // A bunker of 58 x 22 cells of 4 pixels, one black cell on each side,
  // with sloped shoulders and an arch at the bottom; the last pixel row
  // (89 = 22 * 4 + 1) stays black.
  constexpr int cols = 60, rows = 22, cell = 4;
  auto solid = [](int cx, int cy) {
    if (cx < 1 || cx > 58 || cy < 0 || cy >= rows) return false;
    const int left = cx - 1, right = 58 - cx;           // 0 at the outer columns
    if (left + cy < 6 || right + cy < 6) return false;  // shoulders
    // the arch: an ellipse centred at the bottom middle
    const double dx = (cx - 29.5) / 13.0, dy = (cy - 22.0) / 10.0;
    return dx * dx + dy * dy > 1.0;
  };
  Image out(240, 89);
  unsigned noise = 12345;
  for (int cy = 0; cy < rows; ++cy)
    for (int cx = 0; cx < cols; ++cx) {
      if (!solid(cx, cy)) continue;
      noise = noise * 1103515245u + 12345u;
      Rgb c = base;
      // bricks three cells high, six wide, every other course offset
      const int course = cy / 3;
      const bool mortar_row = cy % 3 == 2;
      const bool mortar_col = (cx + (course % 2) * 3) % 6 == 0;
      if (mortar_row || mortar_col)
        c = mortar;
      else if ((noise >> 16) % 7 == 0)
        c = speck;
      // light from the top left: lit edges, shaded edges
      if (!solid(cx, cy - 1) || !solid(cx - 1, cy))
        c = light;
      else if (!solid(cx, cy + 1) || !solid(cx + 1, cy))
        c = dark;
      out.fill_rect(cx * cell, cy * cell, cell, cell, c);
    }
  return out;
}

Image missile_sprite() {
  static const std::vector<std::string> rows = {
      "...oo...",  //
      "..oYYo..",  //
      ".oYWWYo.",  //
      "oYWWWWYo",  //
      "oYWWWWYo",  //
      ".oYWWYo.",  //
      "..oYYo..",  //
      "...oo...",  //
  };
  static const std::map<char, Rgb> legend = {
      {'o', rgb(0xFF7A1A)}, {'Y', rgb(0xFFE640)}, {'W', white}};
  return grid_art(rows, legend, 1);
}

IconImage icon_image(bool highlighted) {
  // The helmet (look-alike green) on a rounded dark tile; corners transparent.
  IconImage icon;
  icon.pixels = Image(32, 32);
  icon.transparent.assign(32 * 32, false);
  const Rgb tile = highlighted ? rgb(0x2A3A78) : rgb(0x141C3C);
  const Rgb rim = highlighted ? rgb(0xFFD84A) : rgb(0x5A6CC8);
  auto corner_out = [](int x, int y) {
    const int cx = std::min(x, 31 - x), cy = std::min(y, 31 - y);
    return cx < 3 && cy < 3 && (3 - cx) * (3 - cx) + (3 - cy) * (3 - cy) > 9;
  };
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (corner_out(x, y)) {
        icon.transparent[static_cast<std::size_t>(y) * 32 + x] = true;
        continue;
      }
      const bool edge = corner_out(x - 1, y) || corner_out(x + 1, y) || corner_out(x, y - 1) ||
                        corner_out(x, y + 1) || x == 0 || y == 0 || x == 31 || y == 31;
      icon.pixels.set(x, y, edge ? rim : tile);
    }
  // The helmet at two pixels per cell: 32 x 28, placed at (0, 3).
  const std::map<char, Rgb> legend = {
      {'B', highlighted ? rgb(0x2AA014) : picture_enemy_body},
      {'L', highlighted ? rgb(0x8AF05A) : enemy_light},
      {'H', enemy_shine},
      {'D', enemy_dark},
      {'Y', enemy_glint},
  };
  Image helmet = grid_art(enemy_cells(), legend, 2);
  icon.pixels.paste(helmet, 0, 3, true, black);
  return icon;
}

}  // namespace gen
