// The display as a window: where the window goes, and switching between full
// screen and a window (Alt+Enter, F11) with the frame kept readable, the
// frame shown in the client area and the game's clock standing still.
#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

#include <cstdio>
#include <string>

#include "check.h"
#include "check_window.h"
#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/win32_globals.h"
#include "platform/win32/window_placement.h"
#include "shown_frame.h"

namespace {

constexpr RECT frame_around = {-8, -31, 8, 8};
constexpr std::uint32_t teal = 0x00127F7F;

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void check_placement() {
  // Room for the whole frame: 1024 x 768 inside, centred.
  check(same(win32::window_placement({0, 0, 1280, 1024}, frame_around), {120, 108, 1160, 915}),
        "on 1280 x 1024 the client area is 1024 x 768, centred");
  check(same(win32::window_placement({1920, 0, 3200, 1024}, frame_around), {2040, 108, 3080, 915}),
        "on a second monitor too");
  // Short of room by a task bar: the largest 4:3 client area that fits.
  check(same(win32::window_placement({0, 0, 1024, 738}, frame_around), {38, 0, 986, 738}),
        "on 1024 x 738 the client area shrinks to 932 x 699, aspect kept");
}

std::uint32_t screen_pixel(POINT at) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  if (FAILED(
          win32::primary_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    return 0xFFFFFFFF;
  }
  const auto* row = static_cast<const unsigned char*>(desc.lpSurface) + at.y * desc.lPitch;
  const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[at.x] & 0x00FFFFFF;
  win32::primary_surface->Unlock(nullptr);
  return pixel;
}

// A key as the loop dispatches it in play; the switch it asks for is made
// at the next moment no frame is under way, and the game's clock must not
// move meanwhile, however long the rebuild takes.
void switch_by(HWND window, UINT message, WPARAM key, LPARAM data, const char* name) {
  dispatch_pending();
  PostMessageA(window, message, key, data);
  platform::WindowMessage taken;
  if (!platform::fetch_message(taken)) return check(false, std::string(name) + " is queued");
  platform::dispatch_message(taken);
  const DWORD wall_before = GetTickCount();
  const std::uint32_t game_before = platform::tick_ms();
  check(win32::apply_display_requests(), std::string(name) + " switches the display");
  const DWORD took = GetTickCount() - wall_before;
  const std::uint32_t moved = platform::tick_ms() - game_before;
  std::printf("%s: the switch took %lu ms\n", name, static_cast<unsigned long>(took));
  check(moved <= 1, std::string(name) + ": the game's clock stands still during the switch (" +
                        std::to_string(moved) + " ms of " + std::to_string(took) + ")");
}

void check_switching(HWND window) {
  platform::LockedSurface surface;
  check(compose_and_show(pattern, true, surface), "a frame is shown in full screen");

  switch_by(window, WM_SYSKEYDOWN, VK_RETURN, 0x201C0001, "Alt+Enter");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  check(win32::display_mode == win32::DisplayMode::window && (style & WS_CAPTION) == WS_CAPTION &&
            (style & WS_THICKFRAME) != 0,
        "Alt+Enter makes a decorated, resizable window");
  check(frame_memory_matches(surface, pattern), "the last frame stays readable across it");

  const auto flat = [](int, int) { return teal; };
  check(compose_and_show(flat, false, surface), "frames are composed and shown in the window");
  RECT client = {};
  GetClientRect(window, &client);
  POINT middle = {client.right / 2, client.bottom / 2};
  ClientToScreen(window, &middle);
  check(screen_pixel(middle) == teal, "the middle of the client area shows the frame");
  POINT corner = {client.right - 1, client.bottom - 1};
  ClientToScreen(window, &corner);
  check(screen_pixel(corner) == teal, "so does its far corner: the frame is scaled to fill it");

  switch_by(window, WM_KEYDOWN, VK_F11, 0x00570001, "F11");
  check(win32::display_mode == win32::DisplayMode::full_screen, "F11 goes back to full screen");
  check(compose_and_show(pattern, false, surface), "where frames are shown again");
  const ShownFrame shown = read_shown_frame(pattern);
  check(shown.read && shown.mismatches == 0,
        "pixel for pixel (" + std::to_string(shown.mismatches) + " differ)");
}

}  // namespace

void check_window_mode() {
  begin_group("window");
  check_placement();
  HWND window = open_check_window("MARCHFIRE_WINDOW_CHECKS", "window checks", platform::frame_width,
                                  platform::frame_height);
  if (window == nullptr || !platform::display_open()) {
    check(false, std::string("the display opens: ") + platform::last_error());
    return;
  }
  // A key wait knows no way out but Escape: the window's close button or the
  // task bar's close must not wait behind it.
  PostMessageA(window, WM_CLOSE, 0, 0);
  check(platform::key_down(platform::Key::escape), "a close request waiting reads as Escape");
  platform::WindowMessage close;
  check(take(platform::MessageKind::close, close) && !platform::key_down(platform::Key::escape),
        "and no longer once the loop has taken it");
  check_switching(window);
  platform::display_close();
  close_check_window();
}
