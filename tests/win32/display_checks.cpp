// The full-screen display: the frame handed to the game, its copy into the
// back surface, text on that surface, the flip, lost surfaces and release.
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
#include "shown_frame.h"

namespace {

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
  dispatch_pending();
  const HRESULT lost = win32::primary_surface->IsLost();
  std::printf("surfaces after losing the screen: %s\n",
              lost == DDERR_SURFACELOST ? "lost" : "not lost (this system keeps them)");
  if (lost == DDERR_SURFACELOST) {
    int refused = 0;
    for (int attempt = 0; attempt < 5; ++attempt) refused += platform::flip() ? 0 : 1;
    check(refused == 5, "while the screen is away every flip is refused at once");
  }
  regain_screen();
  dispatch_pending();
  const auto plain = [](int, int) { return 0x00123456u; };
  platform::LockedSurface surface;
  // The system gives the screen back in its own time.
  bool shown_again = false;
  for (const DWORD from = GetTickCount();
       !shown_again && GetTickCount() - from < system_patience_ms;) {
    shown_again = compose_and_show(plain, false, surface);
    if (!shown_again) Sleep(50);
  }
  check(shown_again, "once the screen is back, frames are shown again");
  check(win32::primary_surface->IsLost() == DD_OK, "and the surfaces are restored");
  const ShownFrame shown = read_shown_frame(plain);
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

  open_check_window("MARCHFIRE_DISPLAY_CHECKS", "display checks", platform::frame_width,
                    platform::frame_height);
  if (!platform::display_open()) {
    check(false, std::string("the display opens: ") + platform::last_error());
    return;
  }
  check(!platform::display_open(), "a second open of an open display is refused");

  check(platform::lock_back_surface(surface), "the back surface locks");
  check(surface.pixels != nullptr && surface.pitch == 4096, "as 1024 pixels per 4096-byte row");
  const platform::LockedSurface handed = surface;
  platform::unlock_back_surface();
  check(!platform::unlock_back_surface(), "an unlocked surface can't be unlocked again");

  check(compose_and_show(pattern, true, surface), "a frame with text is composed and flipped");
  check(frame_memory_matches(handed, pattern), "after the flip the frame reads back as composed");
  ShownFrame shown = read_shown_frame(pattern);
  check(shown.read, "the screen can be read back");
  check(shown.mismatches == 0,
        "the screen shows the composed frame (" + std::to_string(shown.mismatches) + " wrong)");
  check(shown.text_pixels > 20,
        "and the text drawn on it (" + std::to_string(shown.text_pixels) + " white pixels)");

  const auto enemy_green = [](int, int) { return 0x00126F06u; };
  check(compose_and_show(enemy_green, false, surface), "a second frame is flipped");
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

  close_check_window();
}
