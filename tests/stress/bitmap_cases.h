// BMP files of every kind the game may find beside it: sound ones, and the
// broken, foreign and hostile ones that must never crash or hang it.
//
// Written without the test framework, so that the fuzzer's seed maker can
// use the same files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bitmap_cases {

using Bytes = std::vector<std::uint8_t>;

// How a file is laid out. Rows are written bottom-up and padded to 4 bytes,
// as ordinary BMP writers do.
struct Layout {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bit_count = 24;
  bool top_down = false;         // a negative height field, rows top first
  std::int64_t size_image = -1;  // -1: the true size of the pixel array
  std::uint16_t magic = 0x4D42;
  std::uint32_t seed = 1;  // varies the pixel content
};

// The file described by the layout; palettes for 1, 4 and 8 bits.
Bytes encode(const Layout& layout);

// A sound 24-bit file of w x h pixels whose every byte depends on its place,
// so that a swapped row or channel shows.
Bytes sound_24bit(std::int32_t width, std::int32_t height, std::uint32_t seed = 1);

struct Case {
  std::string name;
  Bytes bytes;
  bool loadable;  // the loader itself accepts it (it is only unfit for the game)
};

// Files that must not pass for a w x h 24-bit image (w a multiple of 4):
// wrong size or depth, truncated, empty, foreign depths, top-down, size
// fields that lie. Loadable ones are sound files of the wrong shape.
std::vector<Case> unfit_files(std::int32_t width, std::int32_t height);

}  // namespace bitmap_cases
