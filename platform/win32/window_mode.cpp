// The game window as full screen or as a window on the desktop, and showing
// the frame in a window's client area.
#include "platform/platform.h"
#include "platform/shared/letterbox.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/win32_globals.h"
#include "platform/win32/window_placement.h"

namespace {

constexpr DWORD window_style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr DWORD full_screen_style = WS_POPUP | WS_VISIBLE;

// The window is made as the full screen wants it.
win32::DisplayMode shaped_as = win32::DisplayMode::full_screen;

RECT work_area_of(HWND window) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    return monitor.rcWork;
  }
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void fill_black(const struct FrameRect& bar, POINT origin) {
  if (bar.w <= 0 || bar.h <= 0) return;
  RECT area = {origin.x + bar.x, origin.y + bar.y, origin.x + bar.x + bar.w,
               origin.y + bar.y + bar.h};
  DDBLTFX fill = {};
  fill.dwSize = sizeof fill;
  fill.dwFillColor = 0;
  win32::primary_surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

HRESULT blit_into_window() {
  using namespace win32;
  RECT client = {};
  GetClientRect(main_window, &client);
  const auto fit =
      fit_frame(client.right, client.bottom, platform::frame_width, platform::frame_height);
  // Minimised: nothing to show, and nothing failed.
  if (fit.w <= 0 || fit.h <= 0) return DD_OK;
  POINT origin = {0, 0};
  ClientToScreen(main_window, &origin);
  // The system doesn't erase the client area once the display is open: the
  // bars are painted at every copy, as the window's size may have changed.
  for (const struct FrameRect& bar : letterbox_bars(client.right, client.bottom, fit)) {
    fill_black(bar, origin);
  }
  RECT target = {origin.x + fit.x, origin.y + fit.y, origin.x + fit.x + fit.w,
                 origin.y + fit.y + fit.h};
  return primary_surface->Blt(&target, back_surface, nullptr, DDBLT_WAIT, nullptr);
}

}  // namespace

namespace win32 {

void shape_window(DisplayMode mode) {
  if (main_window == nullptr || shaped_as == mode) return;
  shaped_as = mode;
  if (mode == DisplayMode::full_screen) {
    SetWindowLongPtrA(main_window, GWL_STYLE, full_screen_style);
    SetWindowPos(main_window, HWND_TOP, 0, 0, platform::frame_width, platform::frame_height,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    return;
  }
  // Sizes are the screen's own pixels: the program declares itself aware
  // of each monitor's scale, and the copy to the screen does the scaling.
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, window_style, FALSE, 0);
  const RECT outer = window_placement(work_area_of(main_window), frame);
  if (IsIconic(main_window)) ShowWindow(main_window, SW_RESTORE);
  SetWindowLongPtrA(main_window, GWL_STYLE, window_style);
  // The full screen made the window topmost; a window on the desktop is not.
  SetWindowPos(main_window, HWND_NOTOPMOST, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

HRESULT present_back_surface() {
  if (display_mode == DisplayMode::window) return blit_into_window();
  return primary_surface->Flip(nullptr, DDFLIP_WAIT);
}

void repaint_window() {
  if (display_mode != DisplayMode::window || primary_surface == nullptr ||
      back_surface == nullptr || back_surface_locked()) {
    return;
  }
  blit_into_window();
}

}  // namespace win32
