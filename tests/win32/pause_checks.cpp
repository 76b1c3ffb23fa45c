// The pause: its decisions on times handed in, then on a real window and
// display: P and deactivation freeze the clock and hold the game's messages,
// the pause line stands over the last frame on the screen only, the frame
// comes back on resume, Escape ends a pause, and a lost display still paces.
#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "check.h"
#include "check_window.h"
#include "later.h"
#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/pause.h"
#include "platform/win32/win32_globals.h"
#include "shown_frame.h"
#include "step_pacing.h"

namespace {

constexpr LPARAM p_down = 0x00190001;  // scan code of P, first press
constexpr LPARAM escape_down = 0x00010001;
constexpr LPARAM left_down = 0x014B0001;  // extended

void check_decisions() {
  using namespace win32;
  pause_reset();
  pause_toggle_by_player(1000);
  check(paused() && game_clock(1000) == 1000 && game_clock(1600) == 1000,
        "P pauses, and the game's clock stands still from that moment");
  pause_toggle_by_player(1600);
  check(!paused() && game_clock(1700) == 1100 && redraw_owed(),
        "P again resumes; the clock goes on without the 600 ms paused; the frame is owed");
  redraw_done();
  pause_note_activation(false, 2000);
  check(paused() && !application_active(), "losing the activation pauses");
  pause_note_activation(true, 2500);
  check(!paused() && game_clock(2600) == 1500, "regaining it resumes, 1100 ms paused in all");

  pause_toggle_by_player(3000);
  pause_note_activation(false, 3100);
  pause_note_activation(true, 3200);
  check(paused(), "a pause the player made outlasts a deactivation");
  pause_toggle_by_player(3300);
  check(game_clock(3300) == 3300 - 1100 - 300, "and its time counts once");

  pause_end_for_escape(3400);
  check(!take_escape_latch(), "Escape outside a pause is not remembered");
  pause_note_activation(false, 3500);
  pause_end_for_escape(3600);
  check(!paused() && take_escape_latch() && !take_escape_latch(),
        "Escape ends a pause and reads as held once");

  pause_reset();
  pause_toggle_by_player(0xFFFFFF00u);
  pause_toggle_by_player(0x100u);
  check(game_clock(0x100u) == 0xFFFFFF00u && game_clock(0x101u) == 0xFFFFFF01u,
        "a pause across the tick's wrap takes exactly its 512 ms off the clock");
  pause_reset();
}

// The screen as the paused game's own thread draws it, looked at until the
// pause line shows: on a loaded machine the drawing may come late. Each read
// is made on that thread, between its drawings: a read of the screen from
// another thread, across a flip, can leave the surfaces locked for good.
ShownFrame shown_with_pause_line(HWND window) {
  ShownFrame shown;
  for (const DWORD from = GetTickCount(); GetTickCount() - from < system_patience_ms;) {
    Sleep(100);
    on_window_thread(window, [&] {
      if (win32::primary_surface->IsLost() == DD_OK) shown = read_shown_frame(pattern);
    });
    // The line may come back before the frame under it does.
    if (shown.read && shown.band_white_pixels > 200 && shown.text_pixels > 20) break;
  }
  return shown;
}

// Presses P: a pause by the player.
void press_p(HWND window) {
  PostMessageA(window, WM_KEYDOWN, 'P', p_down);
  dispatch_pending();
}

// Rests as a step's pacing does while another thread, after delay_ms, does
// what should end the pause; returns how long the rest held the game.
DWORD rest_until_done_later(DWORD delay_ms, std::function<void()> action) {
  Later later(delay_ms, std::move(action));
  const DWORD before = GetTickCount();
  platform::rest(15);
  const DWORD held = GetTickCount() - before;
  later.wait();
  return held;
}

void check_pause_by_key(HWND window, const platform::LockedSurface& surface) {
  PostMessageA(window, WM_KEYDOWN, 'P', p_down);
  for (std::uintptr_t count = 1; count <= 3; ++count) {
    post_space_release(window, count);
  }
  platform::WindowMessage message;
  check(take(platform::MessageKind::other, message) && message.native[1] == WM_KEYDOWN,
        "the P goes to the game like any key");
  platform::dispatch_message(message);
  check(win32::paused(), "P pauses");
  const std::uint32_t frozen = platform::tick_ms();
  Sleep(100);
  check(platform::tick_ms() == frozen, "the game's clock stands still while paused");
  check(!platform::fetch_message(message), "the queued Space releases are held");

  // The pacing's rest holds the game until the pause ends; meanwhile the
  // screen shows the pause line over the last frame.
  ShownFrame during;
  const DWORD held = rest_until_done_later(300, [&] {
    during = shown_with_pause_line(window);
    PostMessageA(window, WM_KEYDOWN, 'P', p_down);
  });
  check(held >= 250,
        "the step's rest lasts as long as the pause (" + std::to_string(held) + " ms)");
  check(!win32::paused(), "P during the pause resumes");
  const std::uint32_t advanced = platform::tick_ms() - frozen;
  check(advanced + 200 < held,
        "and the clock goes on from where it stood: " + std::to_string(advanced) + " ms on after " +
            std::to_string(held) + " ms held");
  check(during.read && during.band_white_pixels > 200,
        "while paused, the screen shows the pause line (" +
            std::to_string(during.band_white_pixels) + " white pixels)");
  check(during.text_pixels > 20, "over the last frame with its score text");
  check(frame_memory_matches(surface, pattern),
        "the frame the game reads back has no pause line in it");
  const ShownFrame after = read_shown_frame(pattern);
  check(after.read && after.mismatches == 0 && after.text_pixels > 20,
        "after the pause the last frame is shown again, without the line (" +
            std::to_string(after.mismatches) + " pixels differ)");

  check(take_release_counts(3) == std::vector<std::uintptr_t>{1, 2, 3},
        "then the Space releases held by the pause arrive, in order");
}

void check_pause_by_deactivation(HWND window) {
  const DWORD system_before = GetTickCount();
  const std::uint32_t before_tick = platform::tick_ms();
  SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  check(win32::paused(), "deactivation pauses");
  rest_until_done_later(300, [&] { SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0); });
  check(!win32::paused(), "activation resumes");
  // At least 300 ms away, however late the threads ran around it: the
  // clock must have left out all of them (the tick is read to 1 ms).
  const DWORD passed = GetTickCount() - system_before;
  const std::uint32_t advanced = platform::tick_ms() - before_tick;
  check(advanced + 298 <= passed, "without the time away (" + std::to_string(advanced) +
                                      " ms on in " + std::to_string(passed) + " ms)");
  check(win32::primary_surface->IsLost() == DD_OK, "the surfaces are restored");
  const ShownFrame after = read_shown_frame(pattern);
  check(after.read && after.mismatches == 0 && after.text_pixels > 20,
        "and the last frame is shown again with its text (" + std::to_string(after.mismatches) +
            " pixels differ)");

  // Away and back during the player's own pause: still paused, the frame and
  // the line are drawn again on the restored screen.
  press_p(window);
  SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  ShownFrame back;
  bool paused_when_back = false;
  rest_until_done_later(200, [&] {
    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    paused_when_back = win32::paused();
    back = shown_with_pause_line(window);
    PostMessageA(window, WM_KEYDOWN, 'P', p_down);
  });
  check(paused_when_back, "a pause the player made holds after the screen comes back");
  check(back.read && back.band_white_pixels > 200 && back.text_pixels > 20,
        "and the screen shows the last frame and the pause line again");
}

void check_escape_ends_pause(HWND window) {
  press_p(window);
  // A tap too short for any poll: down and up before the game looks.
  rest_until_done_later(200, [&] {
    PostMessageA(window, WM_KEYDOWN, VK_LEFT, left_down);
    PostMessageA(window, WM_KEYUP, VK_LEFT, left_down | 0xC0000000);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, escape_down);
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  });
  check(!win32::paused(), "Escape ends the pause");
  check(platform::key_down(platform::Key::escape), "and then reads as held, though already up");
  check(!platform::key_down(platform::Key::escape), "once");
  check(!platform::key_down(platform::Key::left), "a Left tapped during the pause is no step");
  dispatch_pending();
}

// A close request from the desktop must reach the game, paused or not.
void check_close_ends_pause(HWND window) {
  press_p(window);
  rest_until_done_later(200, [&] { PostMessageA(window, WM_CLOSE, 0, 0); });
  platform::WindowMessage message;
  check(!win32::paused() && take(platform::MessageKind::close, message),
        "a close request ends the pause and reaches the game");
}

// With the screen taken by another program every lock fails; the steps must
// still take their 15 ms each.
void check_lost_display_paces(HWND window) {
  SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  // The game runs on unpaused, as it would if the screen were taken while
  // the program stayed the active one.
  win32::pause_reset();
  platform::LockedSurface surface;
  int refused = 0;
  int early = 0;
  const int steps = 40;
  const DWORD all_start = GetTickCount();
  for (int step = 0; step < steps; ++step) {
    const DWORD system_start = GetTickCount();
    const std::uint32_t start = platform::tick_ms();
    if (!platform::lock_back_surface(surface)) ++refused;
    finish_step(start, true);
    if (GetTickCount() - system_start < 15) ++early;
  }
  const DWORD all_took = GetTickCount() - all_start;
  check(refused == steps, "while the screen is away every lock fails (" + std::to_string(refused) +
                              " of " + std::to_string(steps) + ")");
  check(early == 0, "and no step ends before its 15 ms (" + std::to_string(early) + " did)");
  // A bound for a step that waits for the screen to come back, not a speed
  // goal: a loaded machine may make any step late.
  check(all_took < steps * 100,
        "nor waits for the screen: " + std::to_string(all_took) + " ms for 40 steps");
  SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
  const DWORD away_from = GetTickCount();
  win32::pause_reset();
  // The system gives the screen back in its own time; the game tries again
  // at every step meanwhile, and so does this.
  bool locked = false;
  for (const DWORD from = GetTickCount(); !locked && GetTickCount() - from < system_patience_ms;) {
    dispatch_pending();
    locked = platform::lock_back_surface(surface);
    if (!locked) Sleep(50);
  }
  std::printf("the screen came back to the game after %lu ms\n",
              static_cast<unsigned long>(GetTickCount() - away_from));
  check(locked && platform::unlock_back_surface(),
        std::string("once the screen is back, the surface locks again (") + platform::last_error() +
            ")");
}

}  // namespace

void check_pause() {
  begin_group("pause");
  group_time_limit_seconds(120);
  check_decisions();

  HWND window = open_check_window("MARCHFIRE_PAUSE_CHECKS", "pause checks", platform::frame_width,
                                  platform::frame_height);
  if (window == nullptr || !platform::display_open()) {
    check(false, std::string("the display opens: ") + platform::last_error());
    return;
  }
  dispatch_pending();
  platform::LockedSurface surface;
  check(compose_and_show(pattern, true, surface), "a frame with its score text is shown");
  check_pause_by_key(window, surface);
  check_pause_by_deactivation(window);
  check_escape_ends_pause(window);
  check_close_ends_pause(window);
  check_lost_display_paces(window);

  platform::display_close();
  close_check_window();
  win32::pause_reset();
}
