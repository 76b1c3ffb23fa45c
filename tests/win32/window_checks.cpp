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
#include "platform/win32/pause.h"
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
  // The game's clock read at the very ticks the switch is timed by: however
  // long the thread waits around the switch, only the switch is left out.
  const DWORD wall_before = GetTickCount();
  const std::uint32_t game_before = win32::game_clock(wall_before);
  check(win32::apply_display_requests(), std::string(name) + " switches the display");
  const DWORD wall_after = GetTickCount();
  const DWORD took = wall_after - wall_before;
  const std::uint32_t moved = win32::game_clock(wall_after) - game_before;
  std::printf("%s: the switch took %lu ms\n", name, static_cast<unsigned long>(took));
  check(moved < took, std::string(name) + ": the game's clock stands still during the switch (" +
                          std::to_string(moved) + " ms of " + std::to_string(took) + ")");
  check(win32::game_clock(wall_after + 100) - win32::game_clock(wall_after) == 100,
        std::string(name) + ": and runs again after it");
}

// Gives the client area a size, as the player's drag does, and reads the
// screen at a point of it.
void size_client(HWND window, int width, int height) {
  RECT outer = {0, 0, width, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOZORDER);
  dispatch_pending();
}
std::uint32_t client_pixel(HWND window, int x, int y) {
  POINT at = {x, y};
  ClientToScreen(window, &at);
  return screen_pixel(at);
}

// The frame teal, the bars black: each bar's middle lies where the frame
// was shown at the size before.
void check_bars(HWND window) {
  size_client(window, 1000, 500);  // the frame 666 wide from x 167
  check(client_pixel(window, 83, 250) == 0 && client_pixel(window, 916, 250) == 0 &&
            client_pixel(window, 500, 250) == teal,
        "a window wider than the frame shows black bars left and right of it");
  size_client(window, 500, 700);  // the frame 375 high from y 162
  check(client_pixel(window, 250, 81) == 0 && client_pixel(window, 250, 619) == 0 &&
            client_pixel(window, 250, 350) == teal,
        "made taller, black bars above and below it");
}

// At a picture that waits for Enter, the Enter of Alt+Enter is the display
// switch's, even when Alt is let go of first; the next Enter is the game's.
void check_alt_enter_at_picture(HWND window) {
  platform::rest(platform::no_deadline);
  PostMessageA(window, WM_SYSKEYDOWN, VK_RETURN, 0x201C0001);
  send_key(VK_RETURN, true);
  const bool started = platform::key_down(platform::Key::enter);
  platform::rest(platform::no_deadline);
  const bool held_started = platform::key_down(platform::Key::enter);
  send_key(VK_RETURN, false);
  const bool released_started = platform::key_down(platform::Key::enter);
  send_key(VK_RETURN, true);
  const bool next_starts = platform::key_down(platform::Key::enter);
  send_key(VK_RETURN, false);
  check(win32::display_mode == win32::DisplayMode::full_screen,
        "Alt+Enter at a picture switches the display");
  check(!started && !held_started && !released_started, "and its Enter starts nothing");
  check(next_starts, "the next Enter does");
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

  check_bars(window);

  switch_by(window, WM_KEYDOWN, VK_F11, 0x00570001, "F11");
  check(win32::display_mode == win32::DisplayMode::full_screen, "F11 goes back to full screen");
  check(compose_and_show(pattern, false, surface), "where frames are shown again");
  const ShownFrame shown = read_shown_frame(pattern);
  check(shown.read && shown.mismatches == 0,
        "pixel for pixel (" + std::to_string(shown.mismatches) + " differ)");

  win32::request_display_switch();
  win32::apply_display_requests();
  check_alt_enter_at_picture(window);

  // Last: the system may take the minimised game for one in the background.
  ShowWindow(window, SW_MINIMIZE);
  win32::request_display_switch();
  win32::apply_display_requests();
  check(win32::display_mode == win32::DisplayMode::window && !IsIconic(window),
        "a minimised game switched to a window comes back as a window");
  win32::pause_reset();
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
