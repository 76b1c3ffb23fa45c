// The icon: an .ico group of two 32 x 32 images at 24 bits per pixel (icon
// resource 101), and the PNG files for a desktop entry and the browser app.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>

#include "asset_files.h"

using namespace asset_test;

namespace {

TEST(IconFile, HoldsTwo32x32ImagesAt24Bits) {
  const Bytes ico = read_file(generated_dir + "/marchfire.ico");
  ASSERT_GE(ico.size(), 6u + 2 * 16);
  EXPECT_EQ(le16(ico, 0), 0u);
  EXPECT_EQ(le16(ico, 2), 1u) << "type: icon";
  ASSERT_EQ(le16(ico, 4), 2u) << "two images";
  std::vector<Bytes> colour_rows;
  for (int i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    EXPECT_EQ(ico[entry], 32);
    EXPECT_EQ(ico[entry + 1], 32);
    EXPECT_EQ(le16(ico, entry + 4), 1u) << "planes";
    EXPECT_EQ(le16(ico, entry + 6), 24u) << "bits";
    const std::uint32_t size = le32(ico, entry + 8), offset = le32(ico, entry + 12);
    ASSERT_LE(offset + size, ico.size());
    // the image: BITMAPINFOHEADER with the height doubled, 24-bit colour
    // rows, then the AND mask
    EXPECT_EQ(le32(ico, offset), 40u);
    EXPECT_EQ(le32(ico, offset + 4), 32u);
    EXPECT_EQ(le32(ico, offset + 8), 64u);
    EXPECT_EQ(le16(ico, offset + 14), 24u);
    EXPECT_EQ(size, 40u + 32 * 96 + 32 * 4);
    colour_rows.emplace_back(ico.begin() + offset + 40, ico.begin() + offset + 40 + 32 * 96);
  }
  EXPECT_NE(colour_rows[0], colour_rows[1]) << "plain and highlighted differ";

  // The plain image's colours are the icon bitmap's pixels.
  const Bytes bmp = read_file(generated_dir + "/marchfire_icon.bmp");
  ASSERT_EQ(bmp.size(), 54u + 32 * 96);
  EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.end()), colour_rows[0]);
}

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

// The zlib stream's bytes when it holds exactly `size` of them; empty otherwise.
Bytes inflated(const Bytes& z, std::size_t size) {
  Bytes out(size + 1);
  uLongf got = out.size();
  if (uncompress(out.data(), &got, z.data(), z.size()) != Z_OK || got != size) return {};
  out.resize(got);
  return out;
}

// Checks the PNG's structure and returns its RGBA rows (filter bytes removed).
Bytes png_rgba(const Bytes& png, std::uint32_t expect_size) {
  const std::array<std::uint8_t, 8> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  std::size_t at = 8;
  Bytes idat;
  std::vector<std::string> order;
  while (at + 12 <= png.size()) {
    const std::uint32_t len = be32(png, at);
    const std::string type = tag(png, at + 4);
    EXPECT_LE(at + 12 + len, png.size());
    EXPECT_EQ(crc32(png.data() + at + 4, len + 4), be32(png, at + 8 + len)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(be32(png, at + 8), expect_size);
      EXPECT_EQ(be32(png, at + 12), expect_size);
      EXPECT_EQ(png[at + 16], 8);  // bit depth
      EXPECT_EQ(png[at + 17], 6);  // RGBA
    }
    if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
    order.push_back(type);
    at += 12 + len;
  }
  EXPECT_EQ(at, png.size());
  EXPECT_EQ(order.front(), "IHDR");
  EXPECT_EQ(order.back(), "IEND");
  const Bytes raw = inflated(idat, expect_size * (1 + 4 * expect_size));
  EXPECT_FALSE(raw.empty()) << "the pixels inflate to whole rows";
  Bytes rgba;
  for (std::uint32_t y = 0; y < expect_size && !raw.empty(); ++y) {
    const std::size_t row = y * (1 + 4 * expect_size);
    EXPECT_EQ(raw[row], 0) << "filter none";
    rgba.insert(rgba.end(), raw.begin() + row + 1, raw.begin() + row + 1 + 4 * expect_size);
  }
  return rgba;
}

TEST(IconPng, ThirtyTwoPixelsShowTheIconWithTransparentCorners) {
  const Bytes rgba = png_rgba(read_file(generated_dir + "/marchfire_32.png"), 32);
  ASSERT_EQ(rgba.size(), 32u * 32 * 4);
  const auto bmp = parse_bmp24(read_file(generated_dir + "/marchfire_icon.bmp"));
  ASSERT_TRUE(bmp);
  int opaque = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * 32 + x) * 4];
      if (p[3] == 0) continue;
      ++opaque;
      const std::uint8_t* q = bmp->at(x, y);
      EXPECT_EQ(p[0], q[2]);
      EXPECT_EQ(p[1], q[1]);
      EXPECT_EQ(p[2], q[0]);
    }
  EXPECT_EQ(rgba[3], 0) << "the top-left corner is transparent";
  EXPECT_GT(opaque, 32 * 32 * 9 / 10);
}

// 128 for the desktop entry, 192 and 512 for the browser app.
TEST(IconPng, LargerSizesAreTheSameIconEnlarged) {
  const Bytes small = png_rgba(read_file(generated_dir + "/marchfire_32.png"), 32);
  ASSERT_EQ(small.size(), 32u * 32 * 4);
  for (const std::uint32_t size : {128u, 192u, 512u}) {
    const Bytes large =
        png_rgba(read_file(generated_dir + "/marchfire_" + std::to_string(size) + ".png"), size);
    ASSERT_EQ(large.size(), std::size_t{size} * size * 4);
    const std::uint32_t factor = size / 32;
    for (std::uint32_t y = 0; y < size; ++y)
      for (std::uint32_t x = 0; x < size; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(large[(std::size_t{y} * size + x) * 4 + c],
                    small[(std::size_t{y / factor} * 32 + x / factor) * 4 + c])
              << size << " px at " << x << ", " << y;
  }
}

}  // namespace
