// The intro, level and death screens, and the progression from wave to wave.
#pragma once

#include <cstdint>

#include "assets/bitmap_loader.h"

extern BitmapImage screen_image;

constexpr std::int32_t picture_width = 640;
constexpr std::int32_t picture_height = 480;
constexpr std::int32_t level_picture_x = 215;
constexpr std::int32_t level_picture_y = 144;
constexpr std::int32_t death_picture_x = 192;
constexpr std::int32_t death_picture_y = 144;
constexpr std::uint32_t screen_pause_ms = 500;
constexpr std::uint32_t level_pause_ms = 5000;
constexpr int waves_per_game = 4;

// Puts one picture on the display: cleared frame, picture at (x, y), flip.
int show_picture(const char* file_name, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height);
// The intro picture and its music; waits for Enter or Escape.
int show_intro();
// The level picture, the next wave's speeds and a full grid; after the last
// wave, a new game and the intro.
int advance_level();
// The death picture; Enter restarts the game, Escape asks to quit.
int show_death();

// The picture shown when the wave of this level_index has been cleared.
const char* level_picture(std::int32_t index);
