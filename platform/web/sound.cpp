// Sound cues: the recordings inside the program, decoded and played by the
// page with the browser's audio; a new cue cuts off the one still playing.
#include "assets/embedded_assets.h"
#include "platform/platform.h"
#include "platform/web/backend.h"

namespace {

constexpr int first_cue = 105;
constexpr int last_cue = 111;

}  // namespace

namespace web_backend {

void hand_over_cues() {
  for (int id = first_cue; id <= last_cue; ++id) {
    const EmbeddedBlob wave = embedded_cue(id);
    if (wave.data == nullptr || wave.size == 0) continue;
    host_keep_cue(id, wave.data, static_cast<int>(wave.size));
  }
}

}  // namespace web_backend

namespace platform {

void play_cue(int cue_id) {
  if (cue_id < first_cue || cue_id > last_cue) return;
  host_play_cue(cue_id);
}

}  // namespace platform
