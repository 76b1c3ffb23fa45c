// Frames the checks put on the full-screen display, and what the screen
// shows afterwards, read back from the visible surface.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr std::uint32_t white = 0x00FFFFFF;

using FrameColours = std::uint32_t (*)(int x, int y);

// Colours that differ by position, so that a shifted or partial copy shows.
std::uint32_t pattern(int x, int y);

// Locks the back surface (surface keeps what the game was handed), fills it,
// unlocks it, draws the score text when asked and flips.
bool compose_and_show(FrameColours colours, bool with_score_text, platform::LockedSurface& surface);

// Whether the frame memory the game was handed still holds these colours.
bool frame_memory_matches(const platform::LockedSurface& surface, FrameColours colours);

struct ShownFrame {
  bool read = false;
  int mismatches = 0;         // pixels outside the score text's box that differ
  int text_pixels = 0;        // white in the score text's box
  int band_white_pixels = 0;  // white in the band across the middle
};

ShownFrame read_shown_frame(FrameColours expected);
