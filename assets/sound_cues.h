// The game's sound cues, started by number from the program's own recordings.
#pragma once

constexpr int cue_march_first = 105;
constexpr int cue_march_second = 106;
constexpr int cue_march_third = 107;
constexpr int cue_shot = 108;
constexpr int cue_death = 109;
constexpr int cue_level_complete = 110;
constexpr int cue_intro = 111;

// Starts a cue without waiting; it cuts off the cue still playing.
void start_cue(int cue_id);
// Starts the next of the three march steps, in time with the formation.
void play_march_sound();
