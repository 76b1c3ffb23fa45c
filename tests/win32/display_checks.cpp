// The full-screen display: the frame handed to the game, its copy into the
// back surface, text on that surface, the flip, lost surfaces and release.
#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

#include <string>

#include "check.h"
#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/win32_globals.h"

namespace {

constexpr std::uint32_t white = 0x00FFFFFF;

std::intptr_t plain_proc(const platform::WindowMessage& message) {
  if (message.kind == platform::MessageKind::destroy) {
    platform::post_quit(0);
    return 0;
  }
  return platform::default_window_proc(message);
}

std::uint32_t pattern(int x, int y) {
  return static_cast<std::uint32_t>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | ((x ^ y) & 0xFF));
}

void pump_messages() {
  platform::WindowMessage message;
  while (platform::fetch_message(message)) platform::dispatch_message(message);
}

// What the screen shows: the visible surface read back after a flip.
struct ShownFrame {
  bool read = false;
  int mismatches = 0;   // pixels outside the text box that differ from expected
  int text_pixels = 0;  // white pixels inside the text box
};

template <typename Expected>
ShownFrame read_shown_frame(Expected expected) {
  ShownFrame shown;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  if (FAILED(
          win32::primary_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    return shown;
  }
  shown.read = true;
  const auto* bytes = static_cast<const unsigned char*>(desc.lpSurface);
  for (int y = 0; y < platform::frame_height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(bytes + y * desc.lPitch);
    for (int x = 0; x < platform::frame_width; ++x) {
      const std::uint32_t pixel = row[x] & 0x00FFFFFF;
      const bool in_text_box = x >= 920 && y < 24;
      if (in_text_box) {
        if (pixel == white) ++shown.text_pixels;
      } else if (pixel != expected(x, y)) {
        ++shown.mismatches;
      }
    }
  }
  win32::primary_surface->Unlock(nullptr);
  return shown;
}

template <typename Fill>
bool compose_and_show(Fill fill, bool with_text) {
  platform::LockedSurface surface;
  if (!platform::lock_back_surface(surface)) return false;
  for (int y = 0; y < platform::frame_height; ++y) {
    for (int x = 0; x < platform::frame_width; ++x) {
      surface.pixels[x + y * (surface.pitch / 4)] = fill(x, y);
    }
  }
  if (!platform::unlock_back_surface()) return false;
  if (with_text && !platform::draw_text("SCORE:  25", 924, 0, white)) return false;
  return platform::flip();
}

// Another program taking the screen: the system tells the window that its
// application is no longer active, and gives it back later.
void lose_screen() {
  SendMessageA(win32::main_window, WM_ACTIVATEAPP, FALSE, 0);
}
void regain_screen() {
  SendMessageA(win32::main_window, WM_ACTIVATEAPP, TRUE, 0);
}

void check_lost_surfaces() {
  lose_screen();
  pump_messages();
  const HRESULT lost = win32::primary_surface->IsLost();
  std::printf("surfaces after losing the screen: %s\n",
              lost == DDERR_SURFACELOST ? "lost" : "not lost (this system keeps them)");
  if (lost == DDERR_SURFACELOST) {
    int refused = 0;
    for (int attempt = 0; attempt < 5; ++attempt) refused += platform::flip() ? 0 : 1;
    check(refused == 5, "while the screen is away every flip is refused at once");
  }
  regain_screen();
  pump_messages();
  bool shown_again = false;
  for (int frame = 0; frame < 10 && !shown_again; ++frame) {
    shown_again = compose_and_show([](int, int) { return 0x00123456u; }, false);
  }
  check(shown_again, "once the screen is back, frames are shown again");
  check(win32::primary_surface->IsLost() == DD_OK, "and the surfaces are restored");
  const ShownFrame shown = read_shown_frame([](int, int) { return 0x00123456u; });
  check(shown.read && shown.mismatches == 0, "showing the frame composed after the return");
}

}  // namespace

void check_display() {
  begin_group("display");
  platform::LockedSurface surface;
  check(!platform::display_open(), "no display without a window");
  check(!platform::lock_back_surface(surface) && !platform::unlock_back_surface() &&
            !platform::flip() && !platform::draw_text("x", 0, 0, white),
        "a closed display refuses every call");

  check(platform::register_window_class("MARCHFIRE_DISPLAY_CHECKS", plain_proc), "class");
  check(platform::create_window("MARCHFIRE_DISPLAY_CHECKS", "display checks", platform::frame_width,
                                platform::frame_height),
        "window");
  if (!platform::display_open()) {
    check(false, std::string("the display opens: ") + platform::last_error());
    return;
  }
  check(!platform::display_open(), "a second open of an open display is refused");

  check(platform::lock_back_surface(surface), "the back surface locks");
  check(surface.pixels != nullptr && surface.pitch == 4096, "as 1024 pixels per 4096-byte row");
  std::uint32_t* const handed = surface.pixels;
  platform::unlock_back_surface();
  check(!platform::unlock_back_surface(), "an unlocked surface can't be unlocked again");

  check(compose_and_show(pattern, true), "a frame with text is composed and flipped");
  bool still_readable = true;
  for (int y = 0; y < platform::frame_height; y += 7) {
    for (int x = 0; x < platform::frame_width; x += 3) {
      still_readable = still_readable && handed[x + y * 1024] == pattern(x, y);
    }
  }
  check(still_readable, "after the flip the frame reads back as composed");
  ShownFrame shown = read_shown_frame(pattern);
  check(shown.read, "the screen can be read back");
  check(shown.mismatches == 0,
        "the screen shows the composed frame (" + std::to_string(shown.mismatches) + " wrong)");
  check(shown.text_pixels > 20,
        "and the text drawn on it (" + std::to_string(shown.text_pixels) + " white pixels)");

  const auto enemy_green = [](int, int) { return 0x00126F06u; };
  check(compose_and_show(enemy_green, false), "a second frame is flipped");
  shown = read_shown_frame(enemy_green);
  check(shown.mismatches == 0 && shown.text_pixels == 0,
        "the screen shows the second frame, with no text left from the first");

  check_lost_surfaces();

  platform::display_close();
  platform::display_close();
  check(win32::direct_draw == nullptr && win32::primary_surface == nullptr &&
            win32::back_surface == nullptr,
        "closing releases every object, and closing again is harmless");
  check(!platform::flip() && !platform::lock_back_surface(surface),
        "a closed display refuses frames");
  check(platform::display_open(), "the display opens again after a close");
  check(platform::lock_back_surface(surface), "and locks");
  platform::display_close();
  check(win32::back_surface == nullptr, "closing with the surface locked releases it too");

  platform::post_close_request();
  pump_messages();
}
