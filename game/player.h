// The player's sprite and the player's missiles.
#pragma once

#include <cstdint>

#include "display/frame_view.h"

constexpr std::uint32_t probe_color = 0x126F06;
constexpr std::int32_t player_step = 6;
constexpr std::int32_t player_max_x = 960;
constexpr std::int32_t player_missile_speed = 5;
constexpr std::int32_t missile_muzzle_offset = 26;
constexpr std::int32_t shot_points = 25;
constexpr std::int32_t player_missile_shield_line = 650;

// Moves the player 6 pixels for each arrow key held, right first.
void move_player();
// Arms the first free player missile at the muzzle; nothing when all fly.
void fire_player_missile();
// Moves every player missile and lets it destroy what the last frame shows.
void update_player_missiles(const FrameView& last_frame);
// 1 when the missile at (x, y) touches the cell of that enemy.
int enemy_box_hit(std::int32_t x, std::int32_t y, int row, int column);
// True when a missile's left edge lies over one of the shields' columns.
bool in_shield_zone(std::int32_t x);
