#include "bench/bench_setup.h"

#include <cstdio>

#include "display/display_device.h"
#include "display/primitives.h"
#include "game/formation.h"
#include "game/frame_step.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/headless/headless.h"

namespace bench_setup {

const std::string& image_dir() {
  static const std::string dir = MARCHFIRE_IMAGE_DIR;
  return dir;
}

bool load_sprites() {
  headless::reset();
  reset_game_state();
  shutdown();
  headless::set_file_directory(image_dir());
  const struct {
    BitmapImage* image;
    const char* file;
  } sprites[] = {{&player_image, "game_m_modified_small.bmp"},
                 {&shield_blue_image, "shield_blue.bmp"},
                 {&shield_yellow_image, "shield_yellow.bmp"},
                 {&enemy_image, "spartan.bmp"},
                 {&missile_image, "missile.bmp"}};
  for (const auto& sprite : sprites) {
    if (!bmp_load(*sprite.image, sprite.file)) {
      std::fprintf(stderr, "cannot load %s/%s: %s\n", image_dir().c_str(), sprite.file,
                   bmp_failure_reason());
      return false;
    }
  }
  return true;
}

void lay_out_play() {
  fill_grid();
  player_x = 480;
  formation_x = formation_start_x;
  formation_y = formation_start_y;
  for (int i = 0; i < player_missile_count; ++i) {
    player_missiles[i].x = 40 + 90 * i;
    player_missiles[i].y = 420 + 7 * i;
    player_missiles[i].active = 1;
  }
  for (int i = 0; i < enemy_missile_count; ++i) {
    enemy_missiles[i].x = 30 + 64 * i;
    enemy_missiles[i].y = 380 + 11 * i;
    enemy_missiles[i].active = 1;
  }
}

OwnFrame::OwnFrame()
    : memory(static_cast<std::size_t>(screen_width) * screen_height),
      view{memory.data(), screen_width * 4} {}

void compose_play_frame(const FrameView& frame) {
  clear_frame(frame);
  compose_play_field(frame, formation_x, formation_y);
}

std::vector<Rect> play_frame_rectangles() {
  std::vector<Rect> rects{{player_x, player_y, player_size, player_size},
                          {shield_blue_x, shield_y, shield_width, shield_height},
                          {shield_yellow_x, shield_y, shield_width, shield_height}};
  for (int row = 0; row < grid_rows; ++row) {
    for (int column = 0; column < grid_columns; ++column) {
      rects.push_back({formation_x + column_pitch * column, formation_y + row_pitch * row,
                       enemy_width, enemy_height});
    }
  }
  for (const Missile& m : player_missiles) rects.push_back({m.x, m.y, missile_size, missile_size});
  for (const Missile& m : enemy_missiles) rects.push_back({m.x, m.y, missile_size, missile_size});
  return rects;
}

}  // namespace bench_setup
