#include "game/player.h"

#include "display/primitives.h"
#include "game/formation.h"
#include "game/game_state.h"
#include "platform/platform.h"

namespace {

// Lower rows first, and right to left within a row: that order decides which
// of two touched enemies dies.
bool destroy_enemy_under(Missile& missile) {
  for (int row = grid_rows - 1; row >= 0; --row) {
    for (int column = grid_columns - 1; column >= 0; --column) {
      if (!enemy_flag(column, row)) continue;
      if (!enemy_box_hit(missile.x, missile.y, row, column)) continue;
      enemy_flag(column, row) = 0;
      enemies_left -= 1;
      missile.active = 0;
      score += shot_points;
      return true;
    }
  }
  return false;
}

}  // namespace

bool in_shield_zone(std::int32_t x) {
  return (shield_blue_x < x && x < shield_blue_x + shield_width) ||
         (shield_yellow_x < x && x < shield_yellow_x + shield_width);
}

void move_player() {
  if (platform::key_down(platform::Key::right) && player_x < player_max_x) player_x += player_step;
  if (platform::key_down(platform::Key::left) && player_x > 0) player_x -= player_step;
}

void fire_player_missile() {
  for (Missile& missile : player_missiles) {
    if (missile.active != 0) continue;
    missile.active = 1;
    missile.x = player_x + missile_muzzle_offset;
    missile.y = player_y;
    return;
  }
}

void update_player_missiles(const FrameView& last_frame) {
  for (Missile& missile : player_missiles) {
    if (missile.active) {
      missile.y -= player_missile_speed;
      if (frame_has_color(missile.x, missile.y, missile.x + missile_size, missile.y + missile_size,
                          probe_color, probe_color, last_frame)) {
        destroy_enemy_under(missile);
      }
    }
    if (missile.active) {
      if (missile.y <= 0) missile.active = 0;
      if (in_shield_zone(missile.x) && missile.y < player_missile_shield_line) missile.active = 0;
    }
  }
}

int enemy_box_hit(std::int32_t x, std::int32_t y, int row, int column) {
  const std::int32_t left = formation_x + column_pitch * column;
  const std::int32_t right = left + cell_width;
  const std::int32_t top = formation_y + row_pitch * row;
  const std::int32_t bottom = top + cell_height;
  const bool top_left_inside = left < x && x < right && top < y && y < bottom;
  const std::int32_t x2 = x + missile_size;
  const std::int32_t y2 = y + missile_size;
  const bool bottom_right_inside = left < x2 && x2 < right && top < y2 && y2 < bottom;
  return top_left_inside || bottom_right_inside ? 1 : 0;
}
