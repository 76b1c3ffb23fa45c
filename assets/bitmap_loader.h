// 24-bit BMP files read at run time into records that own their pixels.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct BitmapFileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};

struct BitmapInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapFileHeader) == 14);
static_assert(sizeof(BitmapInfoHeader) == 40);

struct PaletteEntry {
  std::uint8_t peRed;
  std::uint8_t peGreen;
  std::uint8_t peBlue;
  std::uint8_t peFlags;
};

struct BitmapImage {
  BitmapFileHeader file_header;
  BitmapInfoHeader info_header;
  PaletteEntry palette[256];
  std::uint8_t* pixels;  // owned; biSizeImage bytes, rows top-down
};

constexpr std::uint16_t bmp_magic = 0x4D42;  // "BM"

// Reads a BMP file found by bare name into `image`. 1 on success, 0 on any
// failure; malformed files are rejected, never read beyond.
int bmp_load(BitmapImage& image, const char* file_name);
// Reverses the order of `row_count` rows of `row_bytes` at the start of the
// buffer, in place.
int bmp_flip_rows(std::uint8_t* buffer, std::int32_t row_bytes, std::int32_t row_count);
// Frees the pixels and nulls the pointer. Always 1.
int bmp_unload(BitmapImage& image);
// Why the last bmp_load failed, in a few words (empty after a success).
const char* bmp_failure_reason();
// Bytes per row of a loaded image, taken as packed: (biBitCount / 8) * biWidth.
std::int64_t bmp_row_bytes(const BitmapImage& image);
// True when the image holds 24-bit pixels for at least width x height.
bool bmp_fits(const BitmapImage& image, std::int32_t width, std::int32_t height);
