// Writes to standard output the samples that a cue becomes on the program's
// sound device (44100 Hz, 16-bit, mono), so that the end-to-end test can find
// the cue, byte for byte, in a recording of what the program played.
//
//   cue_samples CUE_ID
#include <cstdio>
#include <cstdlib>

#include "assets/embedded_assets.h"
#include "platform/sdl/cue_decoding.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cue_samples CUE_ID\n");
    return 2;
  }
  SDL_AudioSpec device{};
  device.freq = 44100;
  device.format = AUDIO_S16SYS;
  device.channels = 1;
  const auto samples = decode_cue(embedded_cue(std::atoi(argv[1])), device);
  if (samples.empty()) return 1;
  return std::fwrite(samples.data(), 1, samples.size(), stdout) == samples.size() ? 0 : 1;
}
