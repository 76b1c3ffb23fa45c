// Sound cues: WAVE resources inside the program, played in the background.
#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include "platform/platform.h"
#include "platform/win32/win32_globals.h"

namespace platform {

void play_cue(int cue_id) {
  // A resource number is a 16-bit value; anything else names no cue.
  if (cue_id <= 0 || cue_id > 0xFFFF) return;
  // An asynchronous start replaces whatever cue is still sounding; a cue the
  // system can't play is simply not heard.
  PlaySoundA(MAKEINTRESOURCEA(cue_id), win32::app_instance, SND_RESOURCE | SND_ASYNC);
}

}  // namespace platform
