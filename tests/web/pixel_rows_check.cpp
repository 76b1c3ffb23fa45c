// The row conversion as the browser build runs it (WebAssembly's vector
// shuffle), against the plain pixels: every length up to 300 from four
// starting bytes, nothing written past the row. Run by scripts/test-web.sh.
#include <cstdio>
#include <vector>

#include "display/pixel_rows.h"

int main() {
  std::vector<std::uint8_t> bytes(3 * 304);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 151 + 7);
  for (int start = 0; start < 4; ++start) {
    for (int count = 0; count <= 300; ++count) {
      const std::uint8_t* row = bytes.data() + start * 3;
      std::vector<std::uint32_t> plain(count + 1, 0xDEADBEEF), fastest(count + 1, 0xDEADBEEF);
      for (int i = 0; i < count; ++i)
        plain[i] = row[i * 3] | row[i * 3 + 1] << 8 | row[i * 3 + 2] << 16;
      convert_bgr_row(row, fastest.data(), count);
      if (fastest != plain) {
        std::printf("not ok - %d pixels from byte %d differ from the plain pixels\n", count,
                    start * 3);
        return 1;
      }
    }
  }
  std::printf("ok - the WebAssembly row conversion gives the plain pixels, every length to 300\n");
  return 0;
}
