// All state of play: module-level variables with fixed start values.
#pragma once

#include <cstdint>

struct Missile {
  std::int32_t x;
  std::int32_t y;
  std::uint8_t active;
  // Only the flag is set: a slot's position is whatever it held before.
  Missile() { active = 0; }
};

constexpr int grid_columns = 8;
constexpr int grid_rows = 4;
constexpr int grid_cells = grid_columns * grid_rows;
constexpr int player_missile_count = 10;
constexpr int enemy_missile_count = 15;

// Tuning and position.
extern std::int32_t player_x;
extern std::int32_t formation_x;
extern std::int32_t formation_y;
extern std::int32_t formation_dx;
extern std::int32_t step_interval;  // in units of 100 ms
extern std::int32_t fire_range;     // in units of 200 ms, exclusive bound

// Counters and flags.
extern std::int32_t enemies_left;
extern std::int32_t score;
extern std::int32_t level_index;
extern std::int32_t march_phase;
extern std::int32_t quit_requested;

// Millisecond timers, compared in unsigned 32-bit arithmetic.
extern std::uint32_t next_step_time;
extern std::uint32_t last_fire_time;
extern std::uint32_t fire_interval;

// Column by column: the flag of column c, row r is element c * 4 + r.
extern std::uint8_t enemy_alive[grid_cells];

extern Missile player_missiles[player_missile_count];
extern Missile enemy_missiles[enemy_missile_count];

inline std::uint8_t& enemy_flag(int column, int row) {
  return enemy_alive[column * grid_rows + row];
}

// Start values, shared by the resets of the screens.
constexpr std::int32_t player_start_x = 288;
constexpr std::int32_t formation_start_x = 337;
constexpr std::int32_t formation_start_y = 100;
constexpr std::int32_t formation_start_dx = 20;
constexpr std::int32_t step_interval_start = 8;
constexpr std::int32_t fire_range_start = 10;

// Fixed playfield geometry.
constexpr std::int32_t player_y = 704;
constexpr std::int32_t player_size = 64;
constexpr std::int32_t shield_blue_x = 150;
constexpr std::int32_t shield_yellow_x = 650;
constexpr std::int32_t shield_y = 600;
constexpr std::int32_t shield_width = 240;
constexpr std::int32_t shield_height = 89;
constexpr std::int32_t enemy_width = 64;
constexpr std::int32_t enemy_height = 56;
constexpr std::int32_t missile_size = 8;
constexpr std::int32_t score_text_x = 924;
constexpr std::int32_t score_text_y = 0;

// Sets every grid flag and the count of live enemies to a full wave.
void fill_grid();
// Every player missile, or every enemy missile, out of flight.
void clear_player_missiles();
void clear_enemy_missiles();
// Every variable back to its value at program start (for tests and tools
// that run the game more than once in one process).
void reset_game_state();
