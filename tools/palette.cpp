#include "palette.h"

namespace gen {

int scrub_probe_color(Image& image) {
  int changed = 0;
  for (Rgb& p : image.pixels)
    if (p == probe_color) {
      p.b = static_cast<std::uint8_t>(probe_color.b + 1);
      ++changed;
    }
  return changed;
}

}  // namespace gen
