#include "ico_writer.h"

#include "bmp_writer.h"

namespace gen {

Bytes encode_ico(const std::vector<IconImage>& images) {
  std::vector<Bytes> dibs;
  for (const IconImage& icon : images) {
    std::vector<bool> mask = icon.transparent;
    if (mask.empty()) mask.assign(icon.pixels.pixels.size(), false);
    dibs.push_back(encode_icon_dib24(icon.pixels, mask));
  }
  Bytes out;
  put_le16(out, 0);  // reserved
  put_le16(out, 1);  // type: icon
  put_le16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const Image& p = images[i].pixels;
    put_u8(out, p.width >= 256 ? 0 : p.width);
    put_u8(out, p.height >= 256 ? 0 : p.height);
    put_u8(out, 0);     // colours in palette: none
    put_u8(out, 0);     // reserved
    put_le16(out, 1);   // planes
    put_le16(out, 24);  // bits per pixel
    put_le32(out, static_cast<std::uint32_t>(dibs[i].size()));
    put_le32(out, offset);
    offset += static_cast<std::uint32_t>(dibs[i].size());
  }
  for (const Bytes& dib : dibs) put_bytes(out, dib);
  return out;
}

}  // namespace gen
