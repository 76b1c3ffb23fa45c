// The full-screen intro picture and the 640 x 480 cards of the game's
// screens: level passed, all waves passed, game over.
#pragma once

#include <string>

#include "image.h"
#include "text.h"

namespace gen {

struct Fonts {
  Font regular;  // DejaVu Sans
  Font bold;     // DejaVu Sans Bold
  Fonts(const std::string& regular_path, const std::string& bold_path)
      : regular(regular_path), bold(bold_path) {}
};

// "intro.bmp", 1024 x 768.
Image intro_picture(const Fonts& fonts);
// "sophomore.bmp", "junior.bmp", "senior.bmp" (waves 1 to 3 cleared,
// wave = 1..3) and "finished.bmp" (wave = 4), 640 x 480.
Image level_card(const Fonts& fonts, int wave);
// "dead.bmp", 640 x 480.
Image dead_card(const Fonts& fonts);

}  // namespace gen
