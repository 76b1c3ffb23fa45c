// A line of text on the back surface, drawn by the system's text output.
#include <climits>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"

namespace platform {

bool draw_text(const char* text, int x, int y, std::uint32_t colorref) {
  using namespace win32;
  if (back_surface == nullptr || text == nullptr) {
    record_failure("no surface to draw text on");
    return false;
  }
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

}  // namespace platform
