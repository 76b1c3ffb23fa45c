// Shared helpers for the core tests: BMP files written on the fly, and a
// fixture that gives each test a fresh process-like state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/frame_view.h"
#include "game/game_state.h"

namespace test {

struct BmpRecipe {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bit_count = 24;
  // Colour (0x00RRGGBB) of the pixel at (x, y), y counted from the top.
  std::function<std::uint32_t(int x, int y)> color = [](int, int) { return 0u; };
  // Overrides of what the writer would put in the header (-1: leave).
  std::int64_t size_image = -1;
  std::int32_t height_field = 0;  // 0: use height
  std::uint16_t magic = 0x4D42;
  std::size_t gap_bytes = 0;    // bytes between the headers and the pixels
  std::size_t truncate_to = 0;  // 0: keep the whole file
};

// The bytes of a BMP file as described (rows bottom-up, packed).
std::vector<std::uint8_t> bmp_bytes(const BmpRecipe& recipe);
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A scratch directory for one test, removed afterwards.
std::string make_temp_dir();
void remove_dir(const std::string& dir);

constexpr std::uint32_t player_color = 0xFFFFFF;
constexpr std::uint32_t shield_blue_color = 0x2040FF;
constexpr std::uint32_t shield_yellow_color = 0xFFD020;
constexpr std::uint32_t enemy_color = 0x126F06;
constexpr std::uint32_t missile_color = 0xFF2020;
constexpr std::uint32_t picture_color = 0x404040;

// The pixel at (x, y) of a sprite or picture of this base colour: the
// position is folded into the low bytes, so a wrong offset or row shows.
constexpr std::uint32_t at(std::uint32_t base, int x, int y) {
  return base ^ static_cast<std::uint32_t>((x & 0xFF) | (y & 0xFF) << 8);
}
// The enemy: the colour missiles look for inside, a coded frame one pixel
// wide around it, so that hits work and the sprite's corners show.
constexpr std::uint32_t enemy_pixel(int x, int y) {
  const bool inside = x > 0 && x < 63 && y > 0 && y < 55;
  return inside ? enemy_color : at(0x3A0000, x, y);
}

// Writes the five sprites and the six pictures into dir.
void write_game_images(const std::string& dir);

// Everything back to how a fresh process finds it (game state, display
// state, the in-memory platform), with bare file names looked up in dir.
void fresh_process(const std::string& dir);

// Every test starts from program start: game state, platform, images.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Opens the window and display and loads the sprites, as start-up does,
  // without the intro.
  void open_display_and_sprites();
  std::string dir_;
};

// Only the enemies of this column, or of this row, alive.
void only_column(int column);
void only_row(int row);
// Missiles of the array in flight.
template <std::size_t n>
int in_flight(const Missile (&missiles)[n]) {
  int count = 0;
  for (const Missile& m : missiles) count += m.active;
  return count;
}
// Cues started so far with a number from first to last.
int cue_count(int first, int last = -1);

// The pixel at (x, y) of a frame view.
std::uint32_t pixel(const FrameView& frame, int x, int y);

}  // namespace test
