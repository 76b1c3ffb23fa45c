// Every file the loader's fuzzer starts from or ever tripped on, and the
// game's own pictures, through the fuzzer's checks: run in every build, and
// under the sanitizers in the sanitizer build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "assets/bitmap_loader.h"
#include "fuzz/bmp_load_oracle.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"
#include "tests/stress/bitmap_cases.h"
#include "tests/watchdog/watchdog.h"

namespace {

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int replay_directory(const std::filesystem::path& dir) {
  int replayed = 0;
  if (!std::filesystem::is_directory(dir)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const auto bytes = read_bytes(entry.path());
    EXPECT_EQ(bmp_load_violation(bytes.data(), bytes.size()), "") << entry.path();
    ++replayed;
  }
  return replayed;
}

class LoaderFindingsTest : public test::GameTest {
 protected:
  void TearDown() override {
    bmp_load_oracle_cleanup();
    GameTest::TearDown();
  }
};

TEST_F(LoaderFindingsTest, SeedsAndFindingsOfTheFuzzerReplayClean) {
  EXPECT_GE(replay_directory(MARCHFIRE_FUZZ_DIR "/seeds"), 30);
  replay_directory(MARCHFIRE_FUZZ_DIR "/regressions");
}

#ifdef MARCHFIRE_IMAGE_DIR
TEST_F(LoaderFindingsTest, TheGamesOwnPicturesLoadWhole) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MARCHFIRE_IMAGE_DIR)) {
    if (entry.path().extension() != ".bmp") continue;
    const auto bytes = read_bytes(entry.path());
    EXPECT_EQ(bmp_load_violation(bytes.data(), bytes.size()), "") << entry.path();
    ++pictures;
  }
  EXPECT_EQ(pictures, 11);
}
#endif

// A 24-bit file claiming a width and a height near 2^31: rows times height
// passed 2^63, the product wrapped negative and the size check let the file
// through; the row reversal then wrote gigabytes past the buffer.
TEST_F(LoaderFindingsTest, SizesWhoseProductPasses2To63AreRefused) {
  const struct {
    std::int32_t width, height;
    std::uint16_t bits;
  } claims[] = {{0x7FFFFFFF, 0x7FFFFFFF, 24},
                {0x7FFFFFFF, 0x7FFFFFFF, 16},
                {0x60000000, 0x60000000, 24},
                {0x7FFFFFFF, 2, 24}};
  for (const auto& claim : claims) {
    bitmap_cases::Layout layout;
    layout.width = 1;
    layout.height = 2;
    layout.bit_count = claim.bits;
    auto bytes = bitmap_cases::encode(layout);
    for (int i = 0; i < 4; ++i) {
      bytes[18 + i] = static_cast<std::uint8_t>(claim.width >> (8 * i));
      bytes[22 + i] = static_cast<std::uint8_t>(claim.height >> (8 * i));
    }
    test::write_file(dir_ + "/huge.bmp", bytes);
    BitmapImage image{};
    EXPECT_EQ(bmp_load(image, "huge.bmp"), 0) << claim.width << " x " << claim.height;
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(bmp_load_violation(bytes.data(), bytes.size()), "");
  }
  EXPECT_EQ(headless::open_file_count(), 0u);
}

}  // namespace
