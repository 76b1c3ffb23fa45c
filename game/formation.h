// The grid of enemies: its march, its drops and the invasion test.
#pragma once

#include <cstdint>

#include "display/frame_view.h"

constexpr std::int32_t column_pitch = 60;
constexpr std::int32_t row_pitch = 66;
constexpr std::int32_t cell_width = 60;
constexpr std::int32_t cell_height = 56;
constexpr std::int32_t formation_drop = 25;
constexpr std::int32_t invasion_line = 600;  // the shields' top edge

// Ends the game through the death screen when the lowest live row has come
// down to the shields.
void check_invasion();
// One formation step when the step timer has run out, then the march sound.
void formation_tick();
// One step sideways, or a reversal with a drop at a screen edge.
void formation_step();
// Draws every live enemy with the grid's origin at (origin_x, origin_y).
void draw_formation(const FrameView& frame, std::int32_t origin_x, std::int32_t origin_y);
