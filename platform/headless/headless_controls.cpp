#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/headless/headless.h"
#include "platform/headless/headless_state.h"

namespace hs = headless::state;

namespace headless::state {

void run_due_scripts() {
  // Actions may add actions, so take them out before running them.
  for (std::size_t i = 0; i < timed.size();) {
    // A moment counts as reached when it lies at most half the tick range
    // behind the clock, so that scripts also work across the wrap.
    if (static_cast<std::int32_t>(clock - timed[i].when) >= 0) {
      auto action = std::move(timed[i].action);
      timed.erase(timed.begin() + static_cast<std::ptrdiff_t>(i));
      action();
      i = 0;
    } else {
      ++i;
    }
  }
  for (std::size_t i = 0; i < framed.size();) {
    if (flips >= framed[i].frame) {
      auto action = std::move(framed[i].action);
      framed.erase(framed.begin() + static_cast<std::ptrdiff_t>(i));
      action();
      i = 0;
    } else {
      ++i;
    }
  }
}

void note_spin() {
  if (tick_step != 0) return;
  if (++spins > spin_limit) {
    trip_guard("the clock was read " + std::to_string(spins) + " times without moving");
    spins = 0;
    tick_step = 1;
  }
}

void trip_guard(const std::string& what) {
  if (!guard_handler) {
    std::fprintf(stderr, "headless: %s\n", what.c_str());
    std::abort();
  }
  guard_handler("headless: " + what);
}

void allocate_surfaces() {
  const std::size_t words = static_cast<std::size_t>(pitch / 4) * platform::frame_height;
  for (auto& surface : surfaces) surface.assign(words, 0);
  front = 0;
  locked = -1;
}

}  // namespace headless::state

namespace headless {

void reset() {
  for (auto& [handle, file] : hs::files) std::fclose(file);
  hs::files.clear();
  hs::clock = 0;
  hs::tick_step = 1;
  hs::key_poll_step = 1;
  hs::spins = 0;
  hs::idle_key_polls = 0;
  hs::idle_fetches = 0;
  hs::key_poll_limit = 20'000'000;
  hs::rests = 0;
  hs::last_rest = 0;
  hs::rest_hook = nullptr;
  for (auto& key : hs::keys) key = false;
  hs::queue.clear();
  hs::quit_pending = false;
  hs::quit_code = 0;
  hs::posted_quit = -1;
  hs::closes_posted = 0;
  hs::proc = nullptr;
  hs::class_registered = false;
  hs::window = false;
  hs::cursor_hidden = false;
  hs::paints = 0;
  hs::open = false;
  hs::is_locked = false;
  hs::pitch = 4096;
  for (auto& surface : hs::surfaces) surface.clear();
  hs::front = 0;
  hs::locked = -1;
  hs::opens = hs::locks = hs::unlocks = hs::flips = hs::flip_tries = hs::closes = 0;
  hs::fail_open_count = hs::fail_lock_count = hs::fail_unlock_count = hs::fail_flip_count = 0;
  hs::fail_text_count = hs::fail_window_class_count = hs::fail_window_count = 0;
  hs::texts.clear();
  hs::cue_log.clear();
  hs::fatal.clear();
  hs::open_at_fatal_report = false;
  hs::error.clear();
  hs::timed.clear();
  hs::framed.clear();
  hs::key_poll_hook = nullptr;
  hs::reads_until_failure = hs::reads_until_cut = -1;
}

void set_time(std::uint32_t now) {
  hs::clock = now;
  hs::spins = 0;
}
std::uint32_t time() {
  return hs::clock;
}
void set_tick_step(std::uint32_t ms) {
  hs::tick_step = ms;
}
void set_key_poll_step(std::uint32_t ms) {
  hs::key_poll_step = ms;
}

std::uint64_t rest_count() {
  return hs::rests;
}

std::uint32_t last_rest_ms_left() {
  return hs::last_rest;
}

void on_rest(std::function<void(std::uint32_t)> hook) {
  hs::rest_hook = std::move(hook);
}

void set_key(platform::Key key, bool down) {
  hs::keys[static_cast<int>(key)] = down;
}
bool key_is_set(platform::Key key) {
  return hs::keys[static_cast<int>(key)];
}

void queue_key_release(std::uint32_t key_code) {
  platform::WindowMessage message;
  message.kind = platform::MessageKind::key_up;
  message.key_code = key_code;
  hs::queue.push_back(message);
}
void queue_space_release() {
  queue_key_release(platform::key_code_space);
}
void queue_close_request() {
  platform::WindowMessage message;
  message.kind = platform::MessageKind::close;
  hs::queue.push_back(message);
}
std::size_t pending_messages() {
  return hs::queue.size() + (hs::quit_pending ? 1 : 0);
}

void at_time(std::uint32_t when, std::function<void()> action) {
  hs::timed.push_back({when, std::move(action)});
}
void at_frame(std::uint64_t frame, std::function<void()> action) {
  hs::framed.push_back({frame, std::move(action)});
}
void on_key_poll(std::function<void()> hook) {
  hs::key_poll_hook = std::move(hook);
}
void set_key_poll_limit(std::uint64_t polls) {
  hs::key_poll_limit = polls;
}
void on_guard(std::function<void(const std::string&)> handler) {
  hs::guard_handler = std::move(handler);
}

bool window_exists() {
  return hs::window;
}
bool window_class_registered() {
  return hs::class_registered;
}
bool cursor_hidden() {
  return hs::cursor_hidden;
}
std::uint64_t paint_count() {
  return hs::paints;
}
void queue_paint_request() {
  platform::WindowMessage message;
  message.kind = platform::MessageKind::paint;
  hs::queue.push_back(message);
}
int posted_quit_code() {
  return hs::posted_quit;
}
std::uint64_t close_requests_posted() {
  return hs::closes_posted;
}

void set_pitch(std::int32_t pitch) {
  hs::pitch = pitch;
  if (hs::open) hs::allocate_surfaces();
}
bool display_is_open() {
  return hs::open;
}
std::uint64_t open_count() {
  return hs::opens;
}
std::uint64_t lock_count() {
  return hs::locks;
}
std::uint64_t unlock_count() {
  return hs::unlocks;
}
std::uint64_t flip_count() {
  return hs::flips;
}
std::uint64_t flip_attempts() {
  return hs::flip_tries;
}
std::uint64_t close_count() {
  return hs::closes;
}
void fail_open(int times) {
  hs::fail_open_count = times;
}
void fail_lock(int times) {
  hs::fail_lock_count = times;
}
void fail_unlock(int times) {
  hs::fail_unlock_count = times;
}
void fail_flip(int times) {
  hs::fail_flip_count = times;
}
void fail_text(int times) {
  hs::fail_text_count = times;
}
void fail_window_class(int times) {
  hs::fail_window_class_count = times;
}
void fail_window(int times) {
  hs::fail_window_count = times;
}

std::vector<std::uint32_t>& surface(int index) {
  return hs::surfaces[index & 1];
}
int last_locked_surface() {
  return hs::locked;
}
std::vector<std::uint32_t> shown_frame() {
  std::vector<std::uint32_t> frame;
  const auto& shown = hs::surfaces[hs::front];
  if (shown.empty()) return frame;
  frame.reserve(static_cast<std::size_t>(platform::frame_width) * platform::frame_height);
  const std::size_t stride = static_cast<std::size_t>(hs::pitch / 4);
  for (int y = 0; y < platform::frame_height; ++y) {
    frame.insert(frame.end(), shown.begin() + static_cast<std::ptrdiff_t>(y * stride),
                 shown.begin() + static_cast<std::ptrdiff_t>(y * stride + platform::frame_width));
  }
  return frame;
}

const std::vector<TextDraw>& text_draws() {
  return hs::texts;
}
const std::vector<CueStart>& cues() {
  return hs::cue_log;
}

void set_file_directory(const std::string& dir) {
  hs::file_directory = dir;
}
std::uint64_t open_file_count() {
  return hs::files.size();
}
void fail_read(int skip) {
  hs::reads_until_failure = skip;
}
void cut_read(int skip) {
  hs::reads_until_cut = skip;
}

const std::vector<std::string>& fatal_reports() {
  return hs::fatal;
}

bool display_open_at_last_report() {
  return hs::open_at_fatal_report;
}

}  // namespace headless
