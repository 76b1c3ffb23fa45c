#include "assets/bitmap_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace {

constexpr std::uint32_t headers_size = sizeof(BitmapFileHeader) + sizeof(BitmapInfoHeader);
constexpr std::uint8_t palette_no_collapse = 4;

char failure_reason[160] = "";

void set_failure(const char* reason) {
  std::snprintf(failure_reason, sizeof failure_reason, "%s", reason);
}

bool read_exactly(platform::FileHandle file, void* buffer, std::uint32_t count) {
  return platform::file_read(file, buffer, count) == static_cast<std::int32_t>(count);
}

int fail_closed(platform::FileHandle file, const char* reason) {
  set_failure(reason);
  platform::file_close(file);
  return 0;
}

// The file's pixel array must hold every packed row it claims and lie inside
// the file after the headers; anything else would be read or drawn past its
// end.
bool pixel_array_is_sound(const BitmapInfoHeader& info, std::int64_t file_size) {
  if (info.biWidth <= 0 || info.biHeight <= 0 || info.biSizeImage == 0) return false;
  const std::int64_t row_bytes = std::int64_t{info.biBitCount / 8} * info.biWidth;
  if (row_bytes <= 0) return false;
  // By division: rows times height can pass 2^63 for sizes near 2^31.
  if (std::int64_t{info.biSizeImage} / row_bytes < info.biHeight) return false;
  return std::int64_t{info.biSizeImage} <= file_size - headers_size;
}

}  // namespace

int bmp_load(BitmapImage& image, const char* file_name) {
  const platform::FileHandle file = platform::file_open(file_name);
  if (file == platform::invalid_file) {
    set_failure("not found beside the program or in the working directory");
    return 0;
  }

  BitmapFileHeader file_header;
  if (!read_exactly(file, &file_header, sizeof file_header)) {
    return fail_closed(file, "shorter than a BMP file header");
  }
  image.file_header = file_header;
  if (image.file_header.bfType != bmp_magic) return fail_closed(file, "not a BMP file");

  BitmapInfoHeader info_header;
  if (!read_exactly(file, &info_header, sizeof info_header)) {
    return fail_closed(file, "shorter than a BMP info header");
  }
  image.info_header = info_header;
  const BitmapInfoHeader& info = image.info_header;

  if (info.biBitCount == 8) {
    PaletteEntry file_palette[256];
    if (!read_exactly(file, file_palette, sizeof file_palette)) {
      return fail_closed(file, "shorter than its palette");
    }
    for (auto& entry : file_palette) {
      std::swap(entry.peRed, entry.peBlue);  // the file keeps blue, green, red
      entry.peFlags = palette_no_collapse;
    }
    std::memcpy(image.palette, file_palette, sizeof file_palette);
  }

  if (info.biBitCount != 8 && info.biBitCount != 16 && info.biBitCount != 24) {
    char reason[64];
    std::snprintf(reason, sizeof reason, "unsupported depth of %u bits per pixel",
                  static_cast<unsigned>(info.biBitCount));
    return fail_closed(file, reason);
  }
  const std::int32_t file_size = platform::file_seek(file, 0, platform::SeekFrom::end);
  if (file_size < 0 || !pixel_array_is_sound(info, file_size)) {
    return fail_closed(file, "its size fields do not match its pixels");
  }
  const std::int32_t pixel_offset = file_size - static_cast<std::int32_t>(info.biSizeImage);
  if (platform::file_seek(file, pixel_offset, platform::SeekFrom::begin) != pixel_offset) {
    return fail_closed(file, "cannot be read");
  }

  std::free(image.pixels);
  image.pixels = static_cast<std::uint8_t*>(std::malloc(info.biSizeImage));
  if (image.pixels == nullptr) return fail_closed(file, "out of memory");
  if (!read_exactly(file, image.pixels, info.biSizeImage)) {
    bmp_unload(image);
    return fail_closed(file, "its pixels cannot be read");
  }
  platform::file_close(file);
  failure_reason[0] = '\0';

  bmp_flip_rows(image.pixels, static_cast<std::int32_t>(bmp_row_bytes(image)), info.biHeight);
  return 1;
}

const char* bmp_failure_reason() {
  return failure_reason;
}

int bmp_flip_rows(std::uint8_t* buffer, std::int32_t row_bytes, std::int32_t row_count) {
  if (buffer == nullptr || row_bytes <= 0 || row_count <= 1) return 1;
  // Swapping the rows pairwise needs no second buffer, so it cannot fail
  // half-way and leave the image in file order.
  std::uint8_t* top = buffer;
  std::uint8_t* bottom = buffer + std::int64_t{row_bytes} * (row_count - 1);
  std::uint8_t chunk[4096];
  while (top < bottom) {
    for (std::int32_t done = 0; done < row_bytes;) {
      const std::size_t n = std::min<std::size_t>(sizeof chunk, row_bytes - done);
      std::memcpy(chunk, top + done, n);
      std::memcpy(top + done, bottom + done, n);
      std::memcpy(bottom + done, chunk, n);
      done += static_cast<std::int32_t>(n);
    }
    top += row_bytes;
    bottom -= row_bytes;
  }
  return 1;
}

int bmp_unload(BitmapImage& image) {
  std::free(image.pixels);
  image.pixels = nullptr;
  return 1;
}

std::int64_t bmp_row_bytes(const BitmapImage& image) {
  return std::int64_t{image.info_header.biBitCount / 8} * image.info_header.biWidth;
}

bool bmp_fits(const BitmapImage& image, std::int32_t width, std::int32_t height) {
  const BitmapInfoHeader& info = image.info_header;
  return image.pixels != nullptr && info.biBitCount == 24 && info.biWidth == width &&
         info.biHeight >= height &&
         std::int64_t{info.biSizeImage} >= std::int64_t{width} * 3 * height;
}
