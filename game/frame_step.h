// One step of play: rules, composition of the frame, presentation, pacing.
#pragma once

#include <cstdint>

constexpr std::uint32_t frame_step_ms = 15;
constexpr std::uint32_t score_color = 0xFFFFFF;

// 1 when the frame was presented, 0 when the step ended early.
int run_frame();
// The score line as the frame step draws it.
void format_score(char (&text)[50], std::int32_t value);
