// Lines of text on the back surface, drawn by the system's text output, and
// remembered until the next frame so that a frame shown again has them too.
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"

namespace {

struct DrawnText {
  char text[64];
  int x;
  int y;
  std::uint32_t colorref;
};

// The game draws one line per frame; a few more are kept, none beyond.
DrawnText drawn_texts[4];
int drawn_text_count = 0;

bool draw_on_back_surface(const char* text, int x, int y, std::uint32_t colorref) {
  using namespace win32;
  HDC device_context = nullptr;
  const HRESULT result = back_surface->GetDC(&device_context);
  if (FAILED(result)) {
    record_display_failure("GetDC", result);
    return false;
  }
  SetTextColor(device_context, static_cast<COLORREF>(colorref));
  SetBkMode(device_context, TRANSPARENT);
  // The device context's own font: nothing is selected into it.
  const std::size_t length = std::strlen(text);
  TextOutA(device_context, x, y, text, length > INT_MAX ? INT_MAX : static_cast<int>(length));
  back_surface->ReleaseDC(device_context);
  return true;
}

void remember(const char* text, int x, int y, std::uint32_t colorref) {
  if (drawn_text_count >= static_cast<int>(std::size(drawn_texts))) return;
  DrawnText& drawn = drawn_texts[drawn_text_count++];
  std::snprintf(drawn.text, sizeof drawn.text, "%s", text);
  drawn.x = x;
  drawn.y = y;
  drawn.colorref = colorref;
}

}  // namespace

namespace win32 {

void redraw_remembered_texts() {
  if (back_surface == nullptr) return;
  for (int i = 0; i < drawn_text_count; ++i) {
    const DrawnText& drawn = drawn_texts[i];
    draw_on_back_surface(drawn.text, drawn.x, drawn.y, drawn.colorref);
  }
}

void forget_drawn_texts() {
  drawn_text_count = 0;
}

}  // namespace win32

namespace platform {

bool draw_text(const char* text, int x, int y, std::uint32_t colorref) {
  if (win32::back_surface == nullptr || text == nullptr) {
    win32::record_failure("no surface to draw text on");
    return false;
  }
  if (!draw_on_back_surface(text, x, y, colorref)) return false;
  remember(text, x, y, colorref);
  return true;
}

}  // namespace platform
