// The seven sound cues, synthesised: square, triangle and noise voices with
// envelopes, written as PCM data of exactly the sizes the game's table gives.
#pragma once

#include <vector>

#include "byte_buffer.h"
#include "wav_writer.h"

namespace gen {

struct Cue {
  int id = 0;
  WavFormat format;
  Bytes data;  // the PCM bytes of the "data" chunk
};

// The format and exact data size of cue 105..111, as the sound table fixes them.
WavFormat cue_format(int id);
std::size_t cue_data_size(int id);

// The PCM data of one cue (105..111).
Cue make_cue(int id);

// ---- building blocks, exposed for the cues and their tests

// Samples in -1..1 to unsigned 8-bit (128 = silence) or signed 16-bit
// little-endian PCM, clamped.
Bytes to_pcm(const std::vector<float>& samples, int bits_per_sample);

}  // namespace gen
