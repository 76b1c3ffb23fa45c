// The font of the score line, carried inside the program.
#pragma once

#include <cstddef>

struct FontBytes {
  const unsigned char* data;
  std::size_t size;
};

FontBytes embedded_font();
