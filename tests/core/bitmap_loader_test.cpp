#include "assets/bitmap_loader.h"

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

class LoaderTest : public test::GameTest {
 protected:
  void TearDown() override {
    bmp_unload(image_);
    EXPECT_EQ(headless::open_file_count(), 0u) << "a file was left open";
    GameTest::TearDown();
  }
  int load(const test::BmpRecipe& recipe) {
    test::write_file(dir_ + "/t.bmp", test::bmp_bytes(recipe));
    return bmp_load(image_, "t.bmp");
  }
  BitmapImage image_{};
};

// Bytes the heap holds for the program (none under the sanitizers, which
// watch leaks themselves).
std::size_t heap_in_use() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

test::BmpRecipe four_by_two() {
  test::BmpRecipe recipe;
  recipe.width = 4;
  recipe.height = 2;
  // Row 0 (top, "row A") and row 1 ("row B") differ in every pixel.
  recipe.color = [](int x, int y) {
    return static_cast<std::uint32_t>(0x010203 * (1 + x + 4 * y));
  };
  return recipe;
}

TEST_F(LoaderTest, PutsBottomUpRowsTopFirstAndKeepsBlueGreenRed) {
  ASSERT_EQ(load(four_by_two()), 1);
  ASSERT_NE(image_.pixels, nullptr);
  EXPECT_EQ(std::uint32_t{image_.info_header.biSizeImage}, 24u);
  // Top row, first pixel: colour 0x010203 stored as blue, green, red.
  EXPECT_EQ(image_.pixels[0], 0x03);
  EXPECT_EQ(image_.pixels[1], 0x02);
  EXPECT_EQ(image_.pixels[2], 0x01);
  // Second row, first pixel: colour 5 * 0x010203.
  EXPECT_EQ(image_.pixels[12], 0x0F);
  EXPECT_EQ(image_.pixels[13], 0x0A);
  EXPECT_EQ(image_.pixels[14], 0x05);
}

TEST_F(LoaderTest, OddRowCountsFlipAroundTheMiddleRow) {
  test::BmpRecipe recipe;
  recipe.width = 4;
  recipe.height = 5;
  recipe.color = [](int, int y) { return static_cast<std::uint32_t>(y + 1); };
  ASSERT_EQ(load(recipe), 1);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(image_.pixels[y * 12], y + 1) << "row " << y;
}

TEST_F(LoaderTest, TakesThePixelsFromTheEndOfTheFile) {
  test::BmpRecipe recipe = four_by_two();
  recipe.gap_bytes = 37;
  ASSERT_EQ(load(recipe), 1);
  EXPECT_EQ(image_.pixels[0], 0x03);
  EXPECT_EQ(image_.pixels[23], 0x08);
}

TEST_F(LoaderTest, EightBitFilesConvertTheWholePalette) {
  test::BmpRecipe recipe;
  recipe.width = 4;
  recipe.height = 2;
  recipe.bit_count = 8;
  recipe.color = [](int x, int y) { return static_cast<std::uint32_t>(10 * y + x); };
  ASSERT_EQ(load(recipe), 1);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(image_.palette[i].peRed, 255 - i);
    EXPECT_EQ(image_.palette[i].peGreen, i / 2);
    EXPECT_EQ(image_.palette[i].peBlue, i);
    EXPECT_EQ(image_.palette[i].peFlags, 4);
  }
  EXPECT_EQ(image_.pixels[0], 0);
  EXPECT_EQ(image_.pixels[4], 10);
}

TEST_F(LoaderTest, ReloadingKeepsOneBufferAndUnloadIsRepeatable) {
  test::BmpRecipe big;  // 3 MB of pixels: a kept old buffer would show
  big.width = 1024;
  big.height = 1024;
  ASSERT_EQ(load(big), 1);
  const std::size_t in_use = heap_in_use();
  for (int i = 0; i < 4; ++i) ASSERT_EQ(bmp_load(image_, "t.bmp"), 1);
  EXPECT_LT(heap_in_use(), in_use + 1024 * 1024) << "the old pixels were let go";
  EXPECT_EQ(bmp_unload(image_), 1);
  EXPECT_EQ(image_.pixels, nullptr);
  EXPECT_EQ(bmp_unload(image_), 1);
  EXPECT_EQ(image_.pixels, nullptr);
}

TEST_F(LoaderTest, MissingFileLeavesTheRecordAsItWas) {
  ASSERT_EQ(load(four_by_two()), 1);
  std::uint8_t* before = image_.pixels;
  const BitmapInfoHeader info = image_.info_header;
  EXPECT_EQ(bmp_load(image_, "nowhere.bmp"), 0);
  EXPECT_EQ(image_.pixels, before);
  EXPECT_EQ(std::memcmp(&info, &image_.info_header, sizeof info), 0);
  EXPECT_NE(std::strlen(bmp_failure_reason()), 0u);
  ASSERT_EQ(load(four_by_two()), 1);
  EXPECT_STREQ(bmp_failure_reason(), "");
}

TEST_F(LoaderTest, NotABitmapKeepsEarlierPixelsButRecordsTheFileHeader) {
  ASSERT_EQ(load(four_by_two()), 1);
  std::uint8_t* before = image_.pixels;
  test::BmpRecipe recipe = four_by_two();
  recipe.magic = 0x5A4D;
  EXPECT_EQ(load(recipe), 0);
  EXPECT_EQ(image_.pixels, before);
  EXPECT_EQ(std::uint16_t{image_.file_header.bfType}, 0x5A4D);
  EXPECT_EQ(before[0], 0x03);
}

TEST_F(LoaderTest, UnsupportedDepthsKeepTheOldPixels) {
  ASSERT_EQ(load(four_by_two()), 1);
  std::uint8_t* before = image_.pixels;
  for (std::uint16_t bits : {1, 4, 32}) {
    test::BmpRecipe recipe = four_by_two();
    recipe.bit_count = bits;
    recipe.size_image = 64;
    EXPECT_EQ(load(recipe), 0) << bits << " bits";
    EXPECT_EQ(std::uint16_t{image_.info_header.biBitCount}, bits);
    EXPECT_EQ(image_.pixels, before);
  }
}

// Files whose fields disagree with their pixels are rejected before any
// buffer is touched, so nothing is read or written past an end.
TEST_F(LoaderTest, RejectsMalformedFilesWithoutTouchingThePixels) {
  struct Case {
    const char* what;
    std::function<void(test::BmpRecipe&)> change;
  };
  const Case cases[] = {
      {"zero size", [](test::BmpRecipe& s) { s.size_image = 0; }},
      {"size below the rows", [](test::BmpRecipe& s) { s.size_image = 23; }},
      {"size beyond the file", [](test::BmpRecipe& s) { s.size_image = 25; }},
      {"huge size", [](test::BmpRecipe& s) { s.size_image = 0xFFFFFFF0; }},
      {"negative height", [](test::BmpRecipe& s) { s.height_field = -2; }},
      {"zero height",
       [](test::BmpRecipe& s) {
         s.height = 0;
         s.size_image = s.gap_bytes = 24;
       }},
      {"zero width",
       [](test::BmpRecipe& s) {
         s.width = 0;
         s.size_image = 24;
       }},
      {"truncated file header", [](test::BmpRecipe& s) { s.truncate_to = 10; }},
      {"truncated info header", [](test::BmpRecipe& s) { s.truncate_to = 40; }},
      {"truncated pixels", [](test::BmpRecipe& s) { s.truncate_to = 60; }},
      {"empty file", [](test::BmpRecipe& s) { s.truncate_to = 1; }},
      {"file header read short", [](test::BmpRecipe&) { headless::cut_read(0); }},
      {"info header read short", [](test::BmpRecipe&) { headless::cut_read(1); }},
      {"pixels read short", [](test::BmpRecipe&) { headless::cut_read(2); }},
      {"info header read failed", [](test::BmpRecipe&) { headless::fail_read(1); }},
  };
  ASSERT_EQ(load(four_by_two()), 1);
  std::uint8_t* before = image_.pixels;
  for (const Case& c : cases) {
    test::BmpRecipe recipe = four_by_two();
    c.change(recipe);
    EXPECT_EQ(load(recipe), 0) << c.what;
    const bool pixels_read = std::strstr(c.what, "pixels read");
    EXPECT_EQ(image_.pixels, pixels_read ? nullptr : before) << c.what;
    if (pixels_read) {
      ASSERT_EQ(load(four_by_two()), 1);
      before = image_.pixels;
    }
    const char* header = std::strstr(c.what, "file header") ? "file header" : "info header";
    if (std::strstr(c.what, "header")) {
      EXPECT_NE(std::strstr(bmp_failure_reason(), header), nullptr) << c.what;
    }
  }
  test::write_file(dir_ + "/empty.bmp", {});
  EXPECT_EQ(bmp_load(image_, "empty.bmp"), 0);
}

TEST_F(LoaderTest, FlipRowsLeavesBytesBeyondTheRowsAlone) {
  std::uint8_t buffer[] = {1, 1, 2, 2, 3, 3, 9, 9};
  EXPECT_EQ(bmp_flip_rows(buffer, 2, 3), 1);
  const std::uint8_t expected[] = {3, 3, 2, 2, 1, 1, 9, 9};
  EXPECT_EQ(std::memcmp(buffer, expected, sizeof buffer), 0);
}

TEST_F(LoaderTest, FlipRowsHandlesRowsLongerThanItsChunk) {
  const std::int32_t row = 9001, rows = 4;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(row) * rows);
  for (std::size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<std::uint8_t>(i * 7 + i / row);
  const std::vector<std::uint8_t> before = buffer;
  ASSERT_EQ(bmp_flip_rows(buffer.data(), row, rows), 1);
  for (std::int32_t r = 0; r < rows; ++r) {
    ASSERT_TRUE(std::equal(buffer.begin() + r * row, buffer.begin() + (r + 1) * row,
                           before.begin() + (rows - 1 - r) * row))
        << "row " << r;
  }
}

TEST_F(LoaderTest, FitsOnlyTwentyFourBitImagesOfTheDrawnWidthAndEnoughRows) {
  test::BmpRecipe recipe;
  recipe.width = 8;
  recipe.height = 8;
  ASSERT_EQ(load(recipe), 1);
  EXPECT_TRUE(bmp_fits(image_, 8, 8));
  EXPECT_TRUE(bmp_fits(image_, 8, 6));
  EXPECT_FALSE(bmp_fits(image_, 8, 9));
  EXPECT_FALSE(bmp_fits(image_, 4, 8));
  recipe.bit_count = 16;
  recipe.height = 12;  // as many bytes as 8 x 8 at 24 bits
  ASSERT_EQ(load(recipe), 1);
  EXPECT_FALSE(bmp_fits(image_, 8, 8));
}

}  // namespace
