// The line a paused game shows over its last frame. It is laid over the
// picture by the renderer, never written into the frame memory: the game
// reads that memory back to find what its missiles hit.
#pragma once

#include <SDL.h>

// Where the band lies in the 1024 x 768 frame: below the grid's starting
// rows, above the shields.
constexpr SDL_Rect pause_band{0, 450, 1024, 60};
constexpr const char* pause_text = "PAUSED \xE2\x80\x94 P to resume";

// Draws the band and its line scaled into `frame_target`, the window area the
// frame fills; false when it could not be drawn.
bool draw_pause_line(SDL_Renderer* renderer, const SDL_Rect& frame_target);
// Lets go of the line's texture (before its renderer goes).
void forget_pause_line();
