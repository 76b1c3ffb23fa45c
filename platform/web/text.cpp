// The score line: rendered by the page from the same font the desktop build
// carries and blended into the frame, so the pixels the game reads stay
// 0x00RRGGBB.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/shared/frame_memory.h"
#include "platform/shared/text_blend.h"
#include "platform/web/backend.h"

namespace {

// Room for far more than one line of the game's text.
constexpr int line_max_width = platform::frame_width;
constexpr int line_max_height = 64;

// The score changes seldom: render a line once and reuse it.
std::vector<std::uint32_t> line(static_cast<std::size_t>(line_max_width) * line_max_height);
int line_width = 0;
int line_height = 0;
std::string cached_text;
std::uint32_t cached_colorref = 0;
bool cached = false;

bool render_line(const char* text, std::uint32_t colorref) {
  if (cached && cached_text == text && cached_colorref == colorref) return true;
  cached = false;
  int height = 0;
  const int width =
      host_render_text(text, colorref, line.data(), line_max_width, line_max_height, &height);
  if (width <= 0 || height <= 0) {
    web_backend::set_error("cannot render text: the page has no font for it");
    return false;
  }
  line_width = width;
  line_height = height;
  cached_text = text;
  cached_colorref = colorref;
  cached = true;
  return true;
}

}  // namespace

namespace platform {

bool draw_text(const char* text, int x, int y, std::uint32_t colorref) {
  if (!frame_memory::ready("cannot draw text", web_backend::set_error)) return false;
  std::uint32_t* pixels = frame_memory::pixels();
  if (text == nullptr || *text == '\0') return true;  // nothing to show
  if (!render_line(text, colorref)) return false;
  const PixelPlane frame{pixels, frame_width, frame_height, frame_width * 4};
  const PixelPlane glyphs{line.data(), line_width, line_height, line_max_width * 4};
  blend_text(frame, glyphs, x, y);
  return true;
}

}  // namespace platform
