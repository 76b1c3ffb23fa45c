// Every picture loads with the game's own loader at the size and
// depth the game draws it, with its rows top-down.
#include "assets/bitmap_loader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "asset_files.h"
#include "platform/headless/headless.h"

using namespace asset_test;

namespace {

class LoadedPicture : public ::testing::TestWithParam<PictureExpectation> {
 protected:
  void SetUp() override { headless::set_file_directory(image_dir); }
};

TEST_P(LoadedPicture, LoadsAtItsSizeAndDepthTopRowFirst) {
  const PictureExpectation expected = GetParam();
  BitmapImage image{};
  ASSERT_EQ(bmp_load(image, expected.name), 1) << expected.name;
  ASSERT_NE(image.pixels, nullptr);
  // The headers are packed: copy their fields before comparing them.
  const std::uint16_t type = image.file_header.bfType;
  const std::int32_t width = image.info_header.biWidth;
  const std::int32_t height = image.info_header.biHeight;
  const std::uint16_t bits = image.info_header.biBitCount;
  const std::uint32_t compression = image.info_header.biCompression;
  const std::uint32_t size_image = image.info_header.biSizeImage;
  EXPECT_EQ(type, bmp_magic);
  EXPECT_EQ(width, expected.width);
  EXPECT_EQ(height, expected.height);
  EXPECT_EQ(bits, 24);
  EXPECT_EQ(compression, 0u);
  EXPECT_TRUE(bmp_fits(image, expected.width, expected.height));
  EXPECT_EQ(bmp_row_bytes(image), 3 * expected.width);
  EXPECT_EQ(size_image, static_cast<std::uint32_t>(3 * expected.width * expected.height));

  // Row y of the loaded buffer is row y from the top of the picture.
  const auto bmp = parse_bmp24(read_file(image_dir + "/" + expected.name));
  ASSERT_TRUE(bmp);
  for (int y : {0, expected.height / 2, expected.height - 1})
    EXPECT_EQ(std::memcmp(image.pixels + static_cast<std::size_t>(y) * 3 * expected.width,
                          bmp->at(0, y), static_cast<std::size_t>(3 * expected.width)),
              0)
        << expected.name << " row " << y;
  EXPECT_EQ(bmp_unload(image), 1);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(headless::open_file_count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Generated, LoadedPicture, ::testing::ValuesIn(pictures),
                         [](const ::testing::TestParamInfo<PictureExpectation>& info) {
                           std::string name = info.param.name;
                           return name.substr(0, name.find('.'));
                         });

TEST(LoadedEnemy, HoldsTheProbeColourOverAtLeast40Percent) {
  headless::set_file_directory(image_dir);
  BitmapImage image{};
  ASSERT_EQ(bmp_load(image, "spartan.bmp"), 1);
  std::size_t n = 0;
  const std::size_t total = 64 * 56;
  for (std::size_t i = 0; i < total; ++i) {
    const std::uint8_t* p = image.pixels + i * 3;
    if (p[0] == probe_b && p[1] == probe_g && p[2] == probe_r) ++n;
  }
  EXPECT_GE(n * 100, total * 40);
  bmp_unload(image);
}

}  // namespace
