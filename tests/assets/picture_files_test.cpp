// The eleven BMP pictures: the file layout the game's loader relies on, and
// the enemy colour (probe_color 0x126F06) held by the enemy alone.
#include <gtest/gtest.h>

#include <set>

#include "asset_files.h"

using namespace asset_test;

namespace {

class PictureFile : public ::testing::TestWithParam<PictureExpectation> {};

TEST_P(PictureFile, IsAnUncompressed24BitBmpWithThePixelArrayAtTheEnd) {
  const PictureExpectation expected = GetParam();
  const Bytes file = read_file(image_dir + "/" + expected.name);
  ASSERT_GE(file.size(), 54u) << expected.name;
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(le32(file, 2), file.size()) << "bfSize";
  EXPECT_EQ(le32(file, 14), 40u) << "BITMAPINFOHEADER";
  EXPECT_EQ(static_cast<std::int32_t>(le32(file, 18)), expected.width);
  EXPECT_EQ(static_cast<std::int32_t>(le32(file, 22)), expected.height)
      << "bottom-up: a positive height";
  EXPECT_EQ(le16(file, 26), 1u) << "planes";
  EXPECT_EQ(le16(file, 28), 24u) << "bits per pixel";
  EXPECT_EQ(le32(file, 30), 0u) << "BI_RGB: uncompressed";

  // The loader takes rows as packed: a row of 3 * width bytes must already
  // be a multiple of 4.
  const std::uint32_t row_bytes = 3u * static_cast<std::uint32_t>(expected.width);
  EXPECT_EQ(row_bytes % 4, 0u);
  const std::uint32_t size_image = le32(file, 34);
  EXPECT_EQ(size_image, row_bytes * static_cast<std::uint32_t>(expected.height)) << "biSizeImage";
  // The loader reads the last biSizeImage bytes: the pixel array must be
  // exactly the end of the file.
  EXPECT_EQ(le32(file, 10) + size_image, file.size()) << "bfOffBits + biSizeImage";
}

TEST_P(PictureFile, HasSomethingToShow) {
  const PictureExpectation expected = GetParam();
  const auto bmp = parse_bmp24(read_file(image_dir + "/" + expected.name));
  ASSERT_TRUE(bmp);
  std::set<std::uint32_t> colours;
  std::size_t lit = 0;
  for (int y = 0; y < bmp->height; ++y)
    for (int x = 0; x < bmp->width; ++x) {
      const std::uint8_t* p = bmp->at(x, y);
      colours.insert(static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16);
      if (p[0] | p[1] | p[2]) ++lit;
    }
  EXPECT_GE(colours.size(), 3u) << expected.name << " looks blank";
  EXPECT_GE(lit * 20, static_cast<std::size_t>(bmp->width) * bmp->height)
      << expected.name << ": under 5 % drawn";
}

INSTANTIATE_TEST_SUITE_P(Generated, PictureFile, ::testing::ValuesIn(pictures),
                         [](const ::testing::TestParamInfo<PictureExpectation>& info) {
                           std::string name = info.param.name;
                           return name.substr(0, name.find('.'));
                         });

TEST(EnemyColour, CoversAtLeast40PercentOfTheEnemy) {
  const auto bmp = parse_bmp24(read_file(image_dir + "/spartan.bmp"));
  ASSERT_TRUE(bmp);
  const std::size_t total = static_cast<std::size_t>(bmp->width) * bmp->height;
  EXPECT_GE(count_probe_pixels(*bmp) * 100, total * 40)
      << count_probe_pixels(*bmp) << " of " << total;
}

TEST(EnemyColour, FillsWholeProbeBoxesInsideTheEnemy) {
  // A missile probes a 9 x 9 box; the body colour must come in solid areas,
  // not scattered pixels: some 9 x 9 box of the sprite is all body colour.
  const auto bmp = parse_bmp24(read_file(image_dir + "/spartan.bmp"));
  ASSERT_TRUE(bmp);
  bool found = false;
  for (int y = 0; y + 9 <= bmp->height && !found; ++y)
    for (int x = 0; x + 9 <= bmp->width && !found; ++x) {
      bool all = true;
      for (int dy = 0; dy < 9 && all; ++dy)
        for (int dx = 0; dx < 9 && all; ++dx) {
          const std::uint8_t* p = bmp->at(x + dx, y + dy);
          all = p[0] == probe_b && p[1] == probe_g && p[2] == probe_r;
        }
      found = all;
    }
  EXPECT_TRUE(found);
}

TEST(EnemyColour, NoOtherPictureHoldsIt) {
  for (const PictureExpectation& expected : pictures) {
    if (std::string(expected.name) == "spartan.bmp") continue;
    const auto bmp = parse_bmp24(read_file(image_dir + "/" + expected.name));
    ASSERT_TRUE(bmp) << expected.name;
    EXPECT_EQ(count_probe_pixels(*bmp), 0u) << expected.name;
  }
  const auto icon = parse_bmp24(read_file(generated_dir + "/marchfire_icon.bmp"));
  ASSERT_TRUE(icon);
  EXPECT_EQ(count_probe_pixels(*icon), 0u) << "marchfire_icon.bmp";
}

TEST(Sprites, StandOnBlack) {
  // The sprites' corners are black, so they read as shapes on the black screen.
  for (const char* name : {"game_m_modified_small.bmp", "spartan.bmp", "missile.bmp",
                           "shield_blue.bmp", "shield_yellow.bmp"}) {
    const auto bmp = parse_bmp24(read_file(image_dir + "/" + name));
    ASSERT_TRUE(bmp) << name;
    for (auto [x, y] : {std::pair{0, 0},
                        {bmp->width - 1, 0},
                        {0, bmp->height - 1},
                        {bmp->width - 1, bmp->height - 1}}) {
      const std::uint8_t* p = bmp->at(x, y);
      EXPECT_EQ(p[0] | p[1] | p[2], 0) << name << " at " << x << "," << y;
    }
  }
}

}  // namespace
