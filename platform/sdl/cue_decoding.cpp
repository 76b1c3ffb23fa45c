#include "platform/sdl/cue_decoding.h"

#include <cstring>
#include <limits>

#include "platform/sdl/backend.h"

std::vector<std::uint8_t> decode_cue(const EmbeddedBlob& wave, const SDL_AudioSpec& device) {
  std::vector<std::uint8_t> samples;
  if (wave.data == nullptr || wave.size == 0 ||
      wave.size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    sdl_backend::set_error("no sound data");
    return samples;
  }
  SDL_RWops* source = SDL_RWFromConstMem(wave.data, static_cast<int>(wave.size));
  SDL_AudioSpec recorded{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (source == nullptr || SDL_LoadWAV_RW(source, 1, &recorded, &data, &length) == nullptr) {
    sdl_backend::set_sdl_error("cannot read a sound");
    return samples;
  }
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, recorded.format, recorded.channels, recorded.freq, device.format,
                        device.channels, device.freq) < 0) {
    sdl_backend::set_sdl_error("cannot convert a sound");
    SDL_FreeWAV(data);
    return samples;
  }
  // The conversion works in place in a buffer len_mult times the input.
  const std::size_t capacity =
      static_cast<std::size_t>(length) * static_cast<std::size_t>(cvt.len_mult);
  samples.assign(capacity, 0);
  std::memcpy(samples.data(), data, length);
  SDL_FreeWAV(data);
  cvt.buf = samples.data();
  cvt.len = static_cast<int>(length);
  if (cvt.needed != 0 && SDL_ConvertAudio(&cvt) != 0) {
    sdl_backend::set_sdl_error("cannot convert a sound");
    samples.clear();
    return samples;
  }
  samples.resize(cvt.needed != 0 ? static_cast<std::size_t>(cvt.len_cvt) : length);
  return samples;
}
