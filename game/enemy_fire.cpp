#include "game/enemy_fire.h"

#include "game/formation.h"
#include "game/game_state.h"
#include "game/player.h"
#include "game/screens.h"
#include "platform/platform.h"

std::uint32_t random_state = 0;

void seed_random(std::uint32_t seed) {
  random_state = seed;
}

int next_random() {
  random_state = random_state * 214013u + 2531011u;
  return static_cast<int>((random_state >> 16) & 0x7FFF);
}

int draw_random() {
  seed_random(platform::tick_ms());
  return next_random();
}

void enemy_fire_tick() {
  if (platform::tick_ms() - last_fire_time < fire_interval) return;
  enemy_volley();
  last_fire_time = platform::tick_ms();
  const int r = draw_random();
  // A range below 1 never arises from the level table; guard the modulo.
  const int range = fire_range > 0 ? fire_range : 1;
  fire_interval = static_cast<std::uint32_t>((r % range) * fire_interval_unit_ms);
}

void enemy_volley() {
  for (int slot = 0; slot < enemy_missile_count; ++slot) {
    if (enemy_missiles[slot].active) continue;
    int column = draw_random() % grid_columns;
    enemy_missiles[slot].active = 1;
    // Leftwards, wrapping from column 0 to 7, at most once round the grid.
    for (int tries = 0; tries < grid_columns; ++tries) {
      if (launch_from_column(column, slot)) return;
      column = column == 0 ? grid_columns - 1 : column - 1;
    }
    // No enemy alive anywhere: nothing to fire from, so the slot stays free.
    enemy_missiles[slot].active = 0;
    return;
  }
}

int launch_from_column(int column, int slot) {
  for (int row = grid_rows - 1; row >= 0; --row) {
    if (!enemy_flag(column, row)) continue;
    enemy_missiles[slot].x = formation_x + column_pitch * column + (enemy_width - missile_size) / 2;
    enemy_missiles[slot].y = formation_y + row_pitch * row + enemy_height;
    return 1;
  }
  return 0;
}

void update_enemy_missiles() {
  for (Missile& missile : enemy_missiles) {
    if (!missile.active) continue;
    missile.y += enemy_missile_speed;
    if (missile.y >= enemy_missile_bottom) {
      missile.active = 0;
      continue;
    }
    if (in_shield_zone(missile.x) && missile.y > enemy_missile_shield_line) {
      missile.active = 0;
      continue;
    }
    const std::int32_t left = missile.x;
    const std::int32_t right = missile.x + missile_size;
    const bool across = (player_x + 1 < left && left < player_x + 63) ||
                        (player_x + 1 < right && right < player_x + 63);
    if (missile.y + missile_size > player_y && across) show_death();
  }
}
