#include "assets/sound_cues.h"

#include "game/game_state.h"
#include "platform/platform.h"

void start_cue(int cue_id) {
  platform::play_cue(cue_id);
}

void play_march_sound() {
  switch (march_phase) {
    case 0:
      start_cue(cue_march_first);
      march_phase = 1;
      break;
    case 1:
      start_cue(cue_march_second);
      march_phase = 2;
      break;
    case 2:
      start_cue(cue_march_third);
      march_phase = 0;
      break;
  }
}
