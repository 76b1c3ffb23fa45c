#include "fuzz/bmp_load_oracle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "assets/bitmap_loader.h"
#include "display/frame_view.h"
#include "display/primitives.h"
#include "platform/headless/headless.h"

namespace {

constexpr std::size_t headers_size = 54;
constexpr std::size_t palette_size = 1024;
constexpr const char* input_name = "input.bmp";
constexpr const char* earlier_name = "earlier.bmp";

std::uint32_t read_u32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint16_t read_u16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The fields as the file holds them, read here without the loader's code.
struct Fields {
  std::uint16_t magic = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bit_count = 0;
  std::uint32_t size_image = 0;
};

Fields fields_of(const std::uint8_t* data, std::size_t size) {
  Fields f;
  if (size < headers_size) return f;
  f.magic = read_u16(data);
  f.width = static_cast<std::int32_t>(read_u32(data + 18));
  f.height = static_cast<std::int32_t>(read_u32(data + 22));
  f.bit_count = read_u16(data + 28);
  f.size_image = read_u32(data + 34);
  return f;
}

// A file the game can take: "BM", a depth of 8, 16 or 24 bits (8-bit ones
// with their whole palette), positive sizes, and a pixel array that holds
// every packed row and lies inside the file after the headers. Everything
// else is malformed and must be refused.
bool must_load(const Fields& f, std::size_t size) {
  if (size < headers_size || f.magic != 0x4D42) return false;
  if (f.bit_count != 8 && f.bit_count != 16 && f.bit_count != 24) return false;
  if (f.bit_count == 8 && size < headers_size + palette_size) return false;
  if (f.width <= 0 || f.height <= 0 || f.size_image == 0) return false;
  // Widths and heights near 2^31 make the product of the two overflow even
  // in 64 bits: compare by division.
  const std::int64_t row_bytes = std::int64_t{f.bit_count / 8} * f.width;
  if (std::int64_t{f.size_image} / row_bytes < f.height) return false;
  return std::uint64_t{f.size_image} <= size - headers_size;
}

std::string scratch;

const std::string& scratch_dir() {
  if (scratch.empty() || !std::filesystem::is_directory(scratch)) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "marchfire-bmp-oracle-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    scratch = pattern;
  }
  return scratch;
}

bool write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// A small sound image that the record holds before the file under test is
// loaded into it: a refused file must leave it exactly as it was.
const std::vector<std::uint8_t>& earlier_file() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> b(headers_size + 24, 0);
    b[0] = 'B', b[1] = 'M';
    b[14] = 40;
    b[18] = 4;   // width
    b[22] = 2;   // height
    b[28] = 24;  // bits
    b[34] = 24;  // biSizeImage
    for (std::size_t i = 0; i < 24; ++i) b[headers_size + i] = static_cast<std::uint8_t>(0xA0 + i);
    return b;
  }();
  return bytes;
}

std::uint64_t checksum(const std::uint8_t* p, std::size_t n) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string check_loaded(const BitmapImage& image, const std::uint8_t* data, std::size_t size,
                         const Fields& f) {
  if (image.pixels == nullptr) return "loaded, but the record holds no pixels";
  if (std::memcmp(&image.file_header, data, 14) != 0) return "file header not kept as read";
  if (std::memcmp(&image.info_header, data + 14, 40) != 0) return "info header not kept as read";
  if (f.bit_count == 8) {
    for (int i = 0; i < 256; ++i) {
      const std::uint8_t* entry = data + headers_size + 4 * i;
      const PaletteEntry& got = image.palette[i];
      if (got.peRed != entry[2] || got.peGreen != entry[1] || got.peBlue != entry[0] ||
          got.peFlags != 4) {
        return "palette entry " + std::to_string(i) + " not converted to red, green, blue";
      }
    }
  }
  // The pixel array is the last biSizeImage bytes; its packed rows come out
  // top row first, and whatever follows the rows stays in place.
  const std::uint8_t* array = data + size - f.size_image;
  const std::size_t row_bytes = std::size_t{f.bit_count / 8u} * static_cast<std::size_t>(f.width);
  const std::size_t rows = static_cast<std::size_t>(f.height);
  for (std::size_t r = 0; r < rows; ++r) {
    if (std::memcmp(image.pixels + r * row_bytes, array + (rows - 1 - r) * row_bytes, row_bytes) !=
        0) {
      return "row " + std::to_string(r) + " is not row " + std::to_string(rows - 1 - r) +
             " of the file";
    }
  }
  const std::size_t tail = f.size_image - rows * row_bytes;
  if (std::memcmp(image.pixels + rows * row_bytes, array + rows * row_bytes, tail) != 0) {
    return "bytes after the rows were moved";
  }
  // Whatever passes for a drawable image must be drawable without reading
  // past its pixels (the sanitizers watch this).
  if (bmp_fits(image, f.width, f.height)) {
    static std::vector<std::uint32_t> frame(std::size_t{screen_width} * screen_height);
    blit_rgb24({frame.data(), screen_width * 4}, image, f.width, f.height, 0, 0);
  } else if (f.bit_count == 24) {
    return "a sound 24-bit image does not fit its own size";
  }
  return "";
}

}  // namespace

std::string bmp_load_violation(const std::uint8_t* data, std::size_t size) {
  const std::string& dir = scratch_dir();
  headless::set_file_directory(dir);
  const auto& earlier = earlier_file();
  if (!write_file(dir + "/" + earlier_name, earlier.data(), earlier.size()) ||
      !write_file(dir + "/" + input_name, data, size)) {
    return "cannot write the scratch files";
  }

  BitmapImage image{};
  if (bmp_load(image, earlier_name) != 1) return "the earlier sound image did not load";
  const std::uint8_t* earlier_pixels = image.pixels;
  const std::uint64_t earlier_sum = checksum(image.pixels, 24);

  const Fields f = fields_of(data, size);
  const bool expected = must_load(f, size);
  const int result = bmp_load(image, input_name);
  std::string violation;
  if (headless::open_file_count() != 0) {
    violation = "a file was left open";
  } else if (result != 0 && result != 1) {
    violation = "result neither 1 nor 0";
  } else if (result == 1 && !expected) {
    violation = "a malformed file was taken";
  } else if (result == 0 && expected) {
    violation = std::string("a sound file was refused: ") + bmp_failure_reason();
  } else if (result == 1) {
    violation = check_loaded(image, data, size, f);
  } else if (image.pixels != earlier_pixels || checksum(image.pixels, 24) != earlier_sum) {
    violation = "a refused file changed the pixels the record held";
  } else if (bmp_failure_reason()[0] == '\0') {
    violation = "a refused file gave no reason";
  }
  bmp_unload(image);
  return violation;
}

void bmp_load_oracle_cleanup() {
  if (scratch.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  scratch.clear();
}
