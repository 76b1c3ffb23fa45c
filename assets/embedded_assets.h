// The sounds and the icon carried inside the program. The bytes come from a
// source file that the asset generator writes at build time.
#pragma once

#include <cstddef>

struct EmbeddedBlob {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// The complete RIFF WAVE file of cue 105..111; empty for any other number.
EmbeddedBlob embedded_cue(int cue_id);
// The program icon as a 32 x 32, 24-bit BMP file (the plain one of the pair).
EmbeddedBlob embedded_icon_bmp();
