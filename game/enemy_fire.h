// The formation's fire: the random source, volleys, and falling missiles.
#pragma once

#include <cstdint>

constexpr std::int32_t enemy_missile_speed = 4;
constexpr std::int32_t fire_interval_unit_ms = 200;
constexpr std::int32_t enemy_missile_bottom = 759;  // y + 8 reaches the last row
constexpr std::int32_t enemy_missile_shield_line = 610;

extern std::uint32_t random_state;

void seed_random(std::uint32_t seed);
// Advances the source; a value from 0 to 32767.
int next_random();
// A value drawn from a fresh seeding with the current tick.
int draw_random();

// One volley when the fire interval has run out, then the next interval.
void enemy_fire_tick();
// Launches one missile from the first free slot, from a random column.
void enemy_volley();
// Places the slot's missile under the lowest live enemy of the column: 1, or
// 0 when the column is empty.
int launch_from_column(int column, int slot);
// Moves every enemy missile; shields stop them; the player can be hit.
void update_enemy_missiles();
