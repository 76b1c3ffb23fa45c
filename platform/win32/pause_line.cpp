// The line that tells the player the game is paused and how to go on.
#include <windows.h>

#include <iterator>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"

namespace {

constexpr wchar_t pause_text[] = L"PAUSED \u2014 P to resume";
constexpr int band_height = 56;
constexpr int text_height = 36;

HFONT pause_font() {
  static HFONT font = CreateFontW(-text_height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, nullptr);
  return font;
}

}  // namespace

namespace win32 {

bool show_pause_line() {
  if (primary_surface == nullptr) return false;
  HDC device_context = nullptr;
  if (FAILED(primary_surface->GetDC(&device_context))) return false;
  // A dark band across the middle keeps the line readable over any frame.
  const int band_top = (platform::frame_height - band_height) / 2;
  const RECT band = {0, band_top, platform::frame_width, band_top + band_height};
  FillRect(device_context, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  HGDIOBJ previous_font = nullptr;
  if (pause_font() != nullptr) previous_font = SelectObject(device_context, pause_font());
  const int length = static_cast<int>(std::size(pause_text) - 1);
  SIZE extent = {};
  GetTextExtentPoint32W(device_context, pause_text, length, &extent);
  SetTextColor(device_context, RGB(255, 255, 255));
  SetBkMode(device_context, TRANSPARENT);
  TextOutW(device_context, (platform::frame_width - extent.cx) / 2,
           band_top + (band_height - extent.cy) / 2, pause_text, length);
  if (previous_font != nullptr) SelectObject(device_context, previous_font);
  primary_surface->ReleaseDC(device_context);
  return true;
}

}  // namespace win32
