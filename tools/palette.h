// Colours shared by the art, and the one colour that only the enemy may hold.
#pragma once

#include "image.h"

namespace gen {

// The enemies' body colour: the game's missiles find enemies by exactly this
// frame colour (probe_color 0x126F06, file bytes 06 6F 12). Only the enemy
// sprite may contain it.
constexpr Rgb probe_color = rgb(0x126F06);

// The green that stands in for probe_color wherever enemies are shown in a
// picture (intro, game over card): close to it, never equal.
constexpr Rgb picture_enemy_body = rgb(0x1A7D0C);

// Details of the enemy helmet.
constexpr Rgb enemy_light = rgb(0x4FC12E);
constexpr Rgb enemy_shine = rgb(0xB8F58C);
constexpr Rgb enemy_dark = rgb(0x0A4204);
constexpr Rgb enemy_glint = rgb(0xDDFF66);

constexpr Rgb black = rgb(0x000000);
constexpr Rgb white = rgb(0xFFFFFF);

// Makes sure the picture holds no pixel of probe_color: any such pixel (an
// antialiased edge that happened to land on it) moves one step of blue away.
// Returns how many pixels were changed.
int scrub_probe_color(Image& image);

}  // namespace gen
