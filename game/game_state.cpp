#include "game/game_state.h"

std::int32_t player_x = player_start_x;
std::int32_t formation_x = formation_start_x;
std::int32_t formation_y = formation_start_y;
std::int32_t formation_dx = formation_start_dx;
std::int32_t step_interval = step_interval_start;
std::int32_t fire_range = fire_range_start;

std::int32_t enemies_left = 0;
std::int32_t score = 0;
std::int32_t level_index = 0;
std::int32_t march_phase = 0;
std::int32_t quit_requested = 0;

std::uint32_t next_step_time = 0;
std::uint32_t last_fire_time = 0;
std::uint32_t fire_interval = 0;

std::uint8_t enemy_alive[grid_cells] = {};

Missile player_missiles[player_missile_count];
Missile enemy_missiles[enemy_missile_count];

void fill_grid() {
  for (auto& flag : enemy_alive) flag = 1;
  enemies_left = grid_cells;
}

void clear_player_missiles() {
  for (auto& missile : player_missiles) missile.active = 0;
}

void clear_enemy_missiles() {
  for (auto& missile : enemy_missiles) missile.active = 0;
}

void reset_game_state() {
  player_x = player_start_x;
  formation_x = formation_start_x;
  formation_y = formation_start_y;
  formation_dx = formation_start_dx;
  step_interval = step_interval_start;
  fire_range = fire_range_start;
  enemies_left = 0;
  score = 0;
  level_index = 0;
  march_phase = 0;
  quit_requested = 0;
  next_step_time = 0;
  last_fire_time = 0;
  fire_interval = 0;
  for (auto& flag : enemy_alive) flag = 0;
  for (auto& missile : player_missiles) missile.x = missile.y = missile.active = 0;
  for (auto& missile : enemy_missiles) missile.x = missile.y = missile.active = 0;
}
