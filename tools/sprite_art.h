// The game's sprites, drawn on a coarse grid of cells and enlarged with
// crisp edges: player, enemy, shields, missile, and the program icon.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ico_writer.h"
#include "image.h"

namespace gen {

// A picture from rows of characters, each character one cell of
// `cell` x `cell` pixels in the colour the legend gives it ('.' and unknown
// characters are black).
Image grid_art(const std::vector<std::string>& rows, const std::map<char, Rgb>& legend, int cell);

// Rows given as their left halves, completed by their mirror image.
std::vector<std::string> mirrored(const std::vector<std::string>& left_halves);

// "game_m_modified_small.bmp": 64 x 64, the player's ship.
Image player_sprite();
// "spartan.bmp": 64 x 56, a crested helmet whose body is `body` (the game's
// probe_color in the sprite file; a look-alike green in the pictures).
Image enemy_sprite(Rgb body);
// The enemy's cell map (16 x 14) for counting and for the pictures.
const std::vector<std::string>& enemy_cells();
// "shield_blue.bmp" / "shield_yellow.bmp": 240 x 89 bunkers.
Image shield_sprite(bool yellow);
// "missile.bmp": 8 x 8 bolt.
Image missile_sprite();
// A 32 x 32 program icon, plain or highlighted; transparent corners.
IconImage icon_image(bool highlighted);

}  // namespace gen
