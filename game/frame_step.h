// One step of play: rules, composition of the frame, presentation, pacing.
#pragma once

#include <cstdint>

#include "display/frame_view.h"

constexpr std::uint32_t frame_step_ms = 15;
constexpr std::uint32_t score_color = 0xFFFFFF;

// 1 when the frame was presented, 0 when the step ended early.
int run_frame();
// Draws the field of play over a cleared frame: the player, the two
// shields, the grid from the given origin, then both kinds of missiles.
// Later images cover earlier ones.
void compose_play_field(const FrameView& frame, std::int32_t origin_x, std::int32_t origin_y);
// The score line as the frame step draws it.
void format_score(char (&text)[50], std::int32_t value);
