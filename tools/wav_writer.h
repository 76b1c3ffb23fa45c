// RIFF WAVE files holding PCM sound.
#pragma once

#include "byte_buffer.h"

namespace gen {

struct WavFormat {
  int bits_per_sample = 8;  // 8 (unsigned, 128 = silence) or 16 (signed)
  int sample_rate = 11025;
  bool fact_chunk = false;  // a 4-byte "fact" chunk (sample count) between "fmt " and "data"
};

// A complete RIFF WAVE file, mono PCM: "RIFF", size, "WAVE", a 16-byte
// "fmt " chunk with format tag 1, the optional "fact" chunk, then the "data"
// chunk holding `data` unchanged. An odd data size is followed by one pad
// byte, which the RIFF size counts and the data size does not.
Bytes encode_wav(const WavFormat& format, const Bytes& data);

}  // namespace gen
