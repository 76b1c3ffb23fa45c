#include "game/formation.h"

#include <algorithm>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "display/primitives.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/platform.h"

namespace {

bool column_has_enemy(int column) {
  for (int row = 0; row < grid_rows; ++row) {
    if (enemy_flag(column, row)) return true;
  }
  return false;
}

bool row_has_enemy(int row) {
  for (int column = 0; column < grid_columns; ++column) {
    if (enemy_flag(column, row)) return true;
  }
  return false;
}

}  // namespace

void check_invasion() {
  for (int row = grid_rows - 1; row >= 0; --row) {
    if (!row_has_enemy(row)) continue;
    if (formation_y + row_pitch * row + cell_height >= invasion_line) show_death();
    return;
  }
}

namespace {

// The deadline is never set further ahead than one step period, so a
// deadline that lies ahead by more than that has in truth passed: either the
// timer has never run (it starts at 0) or the tick count has wrapped since.
// A plain "tick >= deadline" would step in every frame just before a wrap.
bool step_is_due(std::uint32_t now) {
  const std::uint32_t longest_period =
      static_cast<std::uint32_t>(std::max(step_interval, step_interval_start)) * 100;
  const std::uint32_t ahead = next_step_time - now;
  return ahead == 0 || ahead > longest_period;
}

}  // namespace

void formation_tick() {
  if (!step_is_due(platform::tick_ms())) return;
  formation_step();
  next_step_time = platform::tick_ms() + static_cast<std::uint32_t>(step_interval * 100);
  play_march_sound();
}

void formation_step() {
  bool allowed = false;
  if (formation_dx > 0) {
    for (int column = grid_columns - 1; column >= 0; --column) {
      if (!column_has_enemy(column)) continue;
      allowed = formation_x + formation_dx + column_pitch * column + cell_width < screen_width;
      break;
    }
  } else {
    for (int column = 0; column < grid_columns; ++column) {
      if (!column_has_enemy(column)) continue;
      allowed = formation_x + formation_dx + column_pitch * column > 0;
      break;
    }
  }
  if (allowed) {
    formation_x += formation_dx;
  } else {
    formation_dx = -formation_dx;
    formation_y += formation_drop;
  }
}

void draw_formation(const FrameView& frame, std::int32_t origin_x, std::int32_t origin_y) {
  for (int row = 0; row < grid_rows; ++row) {
    for (int column = 0; column < grid_columns; ++column) {
      if (!enemy_flag(column, row)) continue;
      blit_rgb24(frame, enemy_image, enemy_width, enemy_height, origin_x + column_pitch * column,
                 origin_y + row_pitch * row);
    }
  }
}
