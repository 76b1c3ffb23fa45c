// Controls of the in-memory platform, for tests and tools.
//
// A complete backend of the seam without any device: a virtual clock, keys
// and Space releases driven by a script, a message queue, two in-memory
// surfaces of a chosen pitch, failure injection, and a record of every text
// draw and sound cue. Files come from a chosen directory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

// Back to the state of a freshly started process: time 0, no keys, empty
// queue, no window, display closed, pitch 4096, nothing recorded, no
// failures injected, no script. The file directory is kept.
void reset();

// ---- clock
void set_time(std::uint32_t now);
std::uint32_t time();
// Every tick read advances the clock by this many milliseconds afterwards
// (0 by default), so that a spinning wait ends.
void set_tick_step(std::uint32_t ms);
// Every key poll advances the clock by this many milliseconds (0 by default),
// so that a key wait reaches scripted times.
void set_key_poll_step(std::uint32_t ms);
// Calls of `rest` so far, and the time left that the last one was given.
std::uint64_t rest_count();
std::uint32_t last_rest_ms_left();
// Called on every `rest` with its time left; a test may move the clock from
// it, as a backend that really rests would.
void on_rest(std::function<void(std::uint32_t)> hook);

// ---- keys and messages
void set_key(platform::Key key, bool down);
bool key_is_set(platform::Key key);
// Queues the release of Space as a message.
void queue_space_release();
void queue_key_release(std::uint32_t key_code);
// Queues a close request as the desktop would send it.
void queue_close_request();
std::size_t pending_messages();

// A scripted action runs once, the first time the platform is asked for the
// time, a key or a message at or after the given moment.
void at_time(std::uint32_t when, std::function<void()> action);
// ... or once the given number of frames (flips) have been shown.
void at_frame(std::uint64_t frame, std::function<void()> action);
// Called on every key poll; a test may script held keys from it.
void on_key_poll(std::function<void()> hook);
// A key wait that never ends would hang a test: after this many key polls
// with no key ever reported down, the guard trips. So it does when the
// message loop runs a million passes without reading the clock or a key.
void set_key_poll_limit(std::uint64_t polls);
// What a tripped guard does (a key wait that never ends, or a clock read
// again and again without moving): it calls this handler with what happened
// and then ends the wait, reporting Escape held and letting the clock run,
// so that one broken rule fails its own test instead of taking every later
// result down with it. Without a handler the process aborts. The handler
// outlives reset().
void on_guard(std::function<void(const std::string&)> handler);

// ---- window
bool window_exists();
bool window_class_registered();
bool cursor_hidden();
std::uint64_t paint_count();
// Queues a request to paint the window, as the desktop sends after a cover.
void queue_paint_request();
// The exit code carried by the last quit message posted, or -1.
int posted_quit_code();
std::uint64_t close_requests_posted();

// ---- display
// Pitch in bytes of both surfaces (4096 by default; larger to test padding).
void set_pitch(std::int32_t pitch);
bool display_is_open();
std::uint64_t open_count();
std::uint64_t lock_count();
std::uint64_t unlock_count();
std::uint64_t flip_count();  // accepted flips only
std::uint64_t flip_attempts();
std::uint64_t close_count();
// Failure injection: the next `times` calls fail (open also fails its
// `times`); a refused lock still fills in the surface it would have handed
// out, as a device may. A negative count fails for ever; 0 ends the failure.
void fail_open(int times = 1);
void fail_lock(int times = 1);
void fail_unlock(int times = 1);
void fail_flip(int times = 1);
void fail_text(int times = 1);
void fail_window_class(int times = 1);
void fail_window(int times = 1);

// Surface memory (pitch * 768 bytes, as 32-bit words) of surface 0 or 1.
std::vector<std::uint32_t>& surface(int index);
// Index of the surface that the last lock handed out, or -1.
int last_locked_surface();
// The 1024 x 768 pixels of the frame shown last (the most recent flip), as
// 0x00RRGGBB, rows packed.
std::vector<std::uint32_t> shown_frame();

struct TextDraw {
  std::string text;
  int x;
  int y;
  std::uint32_t colorref;
  std::uint64_t frame;  // flips shown before the draw
};
const std::vector<TextDraw>& text_draws();

struct CueStart {
  int cue_id;
  std::uint32_t time;
  std::uint64_t frame;
};
const std::vector<CueStart>& cues();

// ---- files
// Bare names are looked for in this directory ("" = the working directory).
void set_file_directory(const std::string& dir);
std::uint64_t open_file_count();  // files opened and not yet closed
// The read `skip` reads from now fails (-1), or comes back short: only half
// the bytes asked for (rounded down) are read and counted.
void fail_read(int skip = 0);
void cut_read(int skip = 0);

// ---- failures
// Lines given to report_fatal.
const std::vector<std::string>& fatal_reports();
// Whether the display was still open when the last line was reported: a
// report under a full-screen display may not be seen.
bool display_open_at_last_report();

}  // namespace headless
