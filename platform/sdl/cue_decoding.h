// Turning an embedded WAVE file into samples the audio device plays as is.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "assets/embedded_assets.h"

// The cue's samples in the device's format, rate and channel count; empty
// (with last_error set) when the bytes are no WAVE file SDL can read or
// convert.
std::vector<std::uint8_t> decode_cue(const EmbeddedBlob& wave, const SDL_AudioSpec& device);
