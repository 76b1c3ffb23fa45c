// Sound cues: one device for the whole run, every cue decoded once at start.
//
// Playback goes through SDL's own queue: starting a cue clears what is still
// queued and queues the new one, so a new cue cuts the old one off.
#include <array>
#include <vector>

#include "assets/embedded_assets.h"
#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/cue_decoding.h"

namespace {

constexpr int first_cue = 105;
constexpr int last_cue = 111;

SDL_AudioDeviceID device = 0;
bool audio_started = false;
std::array<std::vector<std::uint8_t>, last_cue - first_cue + 1> cues;

}  // namespace

namespace sdl_backend {

void audio_open() {
  if (device != 0) return;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;  // a silent game, not a failed one
  audio_started = true;
  SDL_AudioSpec wanted{};
  wanted.freq = 44100;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 1024;  // short enough that a shot sounds with its key
  SDL_AudioSpec obtained{};
  device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
  if (device == 0) {
    audio_close();
    return;
  }
  for (int id = first_cue; id <= last_cue; ++id) {
    cues[id - first_cue] = decode_cue(embedded_cue(id), obtained);
  }
  SDL_PauseAudioDevice(device, 0);
}

void audio_close() {
  if (device != 0) SDL_CloseAudioDevice(device);
  device = 0;
  for (auto& cue : cues) {
    cue.clear();
    cue.shrink_to_fit();
  }
  if (audio_started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_started = false;
}

void audio_hold(bool hold) {
  if (device != 0) SDL_PauseAudioDevice(device, hold ? 1 : 0);
}

}  // namespace sdl_backend

namespace platform {

void play_cue(int cue_id) {
  if (device == 0 || cue_id < first_cue || cue_id > last_cue) return;
  const std::vector<std::uint8_t>& samples = cues[cue_id - first_cue];
  if (samples.empty()) return;
  SDL_ClearQueuedAudio(device);
  SDL_QueueAudio(device, samples.data(), static_cast<Uint32>(samples.size()));
}

}  // namespace platform
