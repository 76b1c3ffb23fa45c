#include "tests/core/test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "assets/bitmap_loader.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace test {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<std::uint8_t> bmp_bytes(const BmpRecipe& recipe) {
  const std::size_t bytes_per_pixel = recipe.bit_count / 8;
  std::vector<std::uint8_t> pixels;
  for (int y = recipe.height - 1; y >= 0; --y) {
    for (int x = 0; x < recipe.width; ++x) {
      const std::uint32_t c = recipe.color(x, y);
      for (std::size_t b = 0; b < bytes_per_pixel; ++b) pixels.push_back((c >> (8 * b)) & 0xFF);
    }
    if (bytes_per_pixel == 0) pixels.push_back(static_cast<std::uint8_t>(recipe.color(0, y)));
  }
  const std::size_t palette = recipe.bit_count == 8 ? 1024 : 0;
  std::vector<std::uint8_t> out;
  put16(out, recipe.magic);
  put32(out, static_cast<std::uint32_t>(54 + palette + recipe.gap_bytes + pixels.size()));
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(54 + palette + recipe.gap_bytes));
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(recipe.width));
  put32(out, static_cast<std::uint32_t>(recipe.height_field ? recipe.height_field : recipe.height));
  put16(out, 1);
  put16(out, recipe.bit_count);
  put32(out, 0);
  put32(out,
        static_cast<std::uint32_t>(recipe.size_image >= 0 ? recipe.size_image : pixels.size()));
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (std::size_t i = 0; i < palette / 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(i));        // blue
    out.push_back(static_cast<std::uint8_t>(i / 2));    // green
    out.push_back(static_cast<std::uint8_t>(255 - i));  // red
    out.push_back(0);
  }
  out.insert(out.end(), recipe.gap_bytes, 0xEE);
  out.insert(out.end(), pixels.begin(), pixels.end());
  if (recipe.truncate_to) out.resize(recipe.truncate_to);
  return out;
}

void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  // Files may be links to the shared images: replace, never overwrite.
  std::filesystem::remove(path);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::string make_temp_dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "marchfire-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

void remove_dir(const std::string& dir) {
  std::filesystem::remove_all(dir);
}

void write_game_images(const std::string& dir) {
  auto coded = [](std::int32_t w, std::int32_t h, std::function<std::uint32_t(int, int)> color) {
    BmpRecipe recipe;
    recipe.width = w;
    recipe.height = h;
    recipe.color = std::move(color);
    return bmp_bytes(recipe);
  };
  auto of = [](std::uint32_t base) { return [base](int x, int y) { return at(base, x, y); }; };
  write_file(dir + "/game_m_modified_small.bmp", coded(64, 64, of(player_color)));
  write_file(dir + "/shield_blue.bmp", coded(240, 89, of(shield_blue_color)));
  write_file(dir + "/shield_yellow.bmp", coded(240, 89, of(shield_yellow_color)));
  write_file(dir + "/spartan.bmp", coded(64, 56, enemy_pixel));
  write_file(dir + "/missile.bmp", coded(8, 8, of(missile_color)));
  write_file(dir + "/intro.bmp", coded(1024, 768, of(picture_color)));
  for (const char* name :
       {"sophomore.bmp", "junior.bmp", "senior.bmp", "finished.bmp", "dead.bmp"}) {
    write_file(dir + "/" + name, coded(640, 480, of(picture_color)));
  }
}

void fresh_process(const std::string& dir) {
  headless::reset();
  reset_game_state();
  shutdown();
  bmp_unload(screen_image);
  frame_pixels = nullptr;
  frame_pitch = 0;
  headless::set_file_directory(dir);
}

void GameTest::SetUp() {
  // The images are written once per process; each test gets links to them
  // in a directory of its own, which it may change freely.
  struct SharedImages {
    std::string dir = make_temp_dir();
    SharedImages() { write_game_images(dir); }
    ~SharedImages() { remove_dir(dir); }
  };
  static const SharedImages images;
  const std::string& shared = images.dir;
  // A wait that never ends fails the test it runs in, and only that one.
  headless::on_guard([](const std::string& what) { throw std::runtime_error(what); });
  dir_ = make_temp_dir();
  for (const auto& entry : std::filesystem::directory_iterator(shared)) {
    std::filesystem::create_hard_link(entry.path(), dir_ + "/" + entry.path().filename().string());
  }
  fresh_process(dir_);
}

void GameTest::TearDown() {
  shutdown();
  bmp_unload(screen_image);
  headless::reset();
  headless::set_file_directory("");
  remove_dir(dir_);
}

void GameTest::open_display_and_sprites() {
  ASSERT_TRUE(platform::register_window_class(
      "WINCLASS1", [](const platform::WindowMessage&) { return std::intptr_t{0}; }));
  ASSERT_TRUE(platform::create_window("WINCLASS1", "t", 1024, 768));
  ASSERT_TRUE(platform::display_open());
  ASSERT_EQ(bmp_load(player_image, "game_m_modified_small.bmp"), 1);
  ASSERT_EQ(bmp_load(shield_blue_image, "shield_blue.bmp"), 1);
  ASSERT_EQ(bmp_load(shield_yellow_image, "shield_yellow.bmp"), 1);
  ASSERT_EQ(bmp_load(enemy_image, "spartan.bmp"), 1);
  ASSERT_EQ(bmp_load(missile_image, "missile.bmp"), 1);
}

void only_column(int column) {
  for (int cell = 0; cell < grid_cells; ++cell) enemy_alive[cell] = cell / grid_rows == column;
}

void only_row(int row) {
  for (int cell = 0; cell < grid_cells; ++cell) enemy_alive[cell] = cell % grid_rows == row;
}

int cue_count(int first, int last) {
  int n = 0;
  for (const auto& cue : headless::cues())
    n += cue.cue_id >= first && cue.cue_id <= std::max(first, last);
  return n;
}

std::uint32_t pixel(const FrameView& frame, int x, int y) {
  return frame_row(frame, y)[x];
}

}  // namespace test
