#include "bmp_writer.h"

namespace gen {

namespace {

constexpr std::uint32_t file_header_size = 14;
constexpr std::uint32_t info_header_size = 40;
constexpr std::int32_t pixels_per_meter = 2835;  // 72 dots per inch

void put_info_header(Bytes& out, int width, int height, std::uint32_t size_image) {
  put_le32(out, info_header_size);
  put_le32(out, static_cast<std::uint32_t>(width));
  put_le32(out, static_cast<std::uint32_t>(height));
  put_le16(out, 1);   // planes
  put_le16(out, 24);  // bits per pixel
  put_le32(out, 0);   // BI_RGB, uncompressed
  put_le32(out, size_image);
  put_le32(out, pixels_per_meter);
  put_le32(out, pixels_per_meter);
  put_le32(out, 0);  // colours used
  put_le32(out, 0);  // colours important
}

void put_rows_bottom_up(Bytes& out, const Image& image) {
  const int pad = bmp_row_stride(image.width) - image.width * 3;
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      Rgb c = image.at(x, y);
      put_u8(out, c.b);
      put_u8(out, c.g);
      put_u8(out, c.r);
    }
    for (int i = 0; i < pad; ++i) put_u8(out, 0);
  }
}

}  // namespace

int bmp_row_stride(int width) {
  return (width * 3 + 3) / 4 * 4;
}

Bytes encode_bmp24(const Image& image) {
  const std::uint32_t size_image =
      static_cast<std::uint32_t>(bmp_row_stride(image.width)) * image.height;
  const std::uint32_t offset = file_header_size + info_header_size;
  Bytes out;
  out.reserve(offset + size_image);
  put_u8(out, 'B');
  put_u8(out, 'M');
  put_le32(out, offset + size_image);
  put_le16(out, 0);
  put_le16(out, 0);
  put_le32(out, offset);
  put_info_header(out, image.width, image.height, size_image);
  put_rows_bottom_up(out, image);
  return out;
}

Bytes encode_icon_dib24(const Image& image, const std::vector<bool>& transparent) {
  const std::uint32_t colour_bytes =
      static_cast<std::uint32_t>(bmp_row_stride(image.width)) * image.height;
  const int mask_stride = (image.width + 31) / 32 * 4;
  const std::uint32_t mask_bytes = static_cast<std::uint32_t>(mask_stride) * image.height;
  Bytes out;
  put_info_header(out, image.width, image.height * 2, colour_bytes + mask_bytes);
  put_rows_bottom_up(out, image);
  for (int y = image.height - 1; y >= 0; --y) {
    Bytes row(static_cast<std::size_t>(mask_stride), 0);
    for (int x = 0; x < image.width; ++x)
      if (transparent[static_cast<std::size_t>(y) * image.width + x])
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    put_bytes(out, row);
  }
  return out;
}

}  // namespace gen
