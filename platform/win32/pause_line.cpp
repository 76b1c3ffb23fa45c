// The line that tells the player the game is paused and how to go on.
#include <windows.h>

#include <iterator>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"

namespace {

constexpr wchar_t pause_text[] = L"PAUSED \u2014 P to resume";
constexpr int box_margin_x = 16;
constexpr int box_margin_y = 6;
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
  // Full screen: on the visible surface. A window's back surface is the
  // screen's copy of the frame, not the frame the game reads back: the line
  // goes there and is shown with it, scaled alike.
  const bool in_window = display_mode == DisplayMode::window;
  IDirectDrawSurface7* surface = in_window ? back_surface : primary_surface;
  if (surface == nullptr || back_surface_locked()) return false;
  HDC device_context = nullptr;
  if (FAILED(surface->GetDC(&device_context))) return false;
  HGDIOBJ previous_font = nullptr;
  if (pause_font() != nullptr) previous_font = SelectObject(device_context, pause_font());
  const int length = static_cast<int>(std::size(pause_text) - 1);
  SIZE extent = {};
  GetTextExtentPoint32W(device_context, pause_text, length, &extent);

  // A dark box just around the line keeps it readable over any frame and
  // hides as little of the field as it can.
  const int text_x = (platform::frame_width - extent.cx) / 2;
  const int text_y = (platform::frame_height - extent.cy) / 2;
  const RECT box = {text_x - box_margin_x, text_y - box_margin_y, text_x + extent.cx + box_margin_x,
                    text_y + extent.cy + box_margin_y};
  FillRect(device_context, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetTextColor(device_context, RGB(255, 255, 255));
  SetBkMode(device_context, TRANSPARENT);
  TextOutW(device_context, text_x, text_y, pause_text, length);
  if (previous_font != nullptr) SelectObject(device_context, previous_font);
  surface->ReleaseDC(device_context);
  return !in_window || SUCCEEDED(present_back_surface());
}

}  // namespace win32
