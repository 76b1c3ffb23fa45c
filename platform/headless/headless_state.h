// The in-memory platform's own state, shared by its two halves: the seam
// functions and the test controls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace headless::state {

inline std::uint32_t clock = 0;
inline std::uint32_t tick_step = 1;
inline std::uint32_t key_poll_step = 1;
inline std::uint64_t spins = 0;
inline std::uint64_t idle_key_polls = 0;
inline std::uint64_t idle_fetches = 0;  // passes of the message loop that did nothing else
constexpr std::uint64_t idle_fetch_limit = 1'000'000;
inline std::uint64_t key_poll_limit = 20'000'000;
inline std::function<void(const std::string&)> guard_handler;
constexpr std::uint64_t spin_limit = 50'000'000;

inline std::uint64_t rests = 0;
inline std::uint32_t last_rest = 0;
inline std::function<void(std::uint32_t)> rest_hook;

inline bool keys[4] = {};
inline std::deque<platform::WindowMessage> queue;
inline bool quit_pending = false;
inline int quit_code = 0;
inline int posted_quit = -1;
inline std::uint64_t closes_posted = 0;

inline platform::WindowProc proc = nullptr;
inline bool class_registered = false;
inline bool window = false;
inline bool cursor_hidden = false;
inline std::uint64_t paints = 0;

inline bool open = false;
inline bool is_locked = false;
inline std::int32_t pitch = 4096;
inline std::vector<std::uint32_t> surfaces[2];
inline int front = 0;
inline int locked = -1;
inline std::uint64_t opens = 0, locks = 0, unlocks = 0, flips = 0, flip_tries = 0, closes = 0;
inline int fail_open_count = 0, fail_lock_count = 0, fail_unlock_count = 0, fail_flip_count = 0,
           fail_text_count = 0, fail_window_class_count = 0, fail_window_count = 0;

inline std::vector<TextDraw> texts;
inline std::vector<CueStart> cue_log;
inline std::vector<std::string> fatal;
inline bool open_at_fatal_report = false;
inline std::string error;

inline std::string file_directory;
inline std::map<platform::FileHandle, std::FILE*> files;
inline platform::FileHandle next_file = 3;
inline int reads_until_failure = -1;
inline int reads_until_cut = -1;

struct TimedAction {
  std::uint32_t when;
  std::function<void()> action;
};
struct FrameAction {
  std::uint64_t frame;
  std::function<void()> action;
};
inline std::vector<TimedAction> timed;
inline std::vector<FrameAction> framed;
inline std::function<void()> key_poll_hook;

// A negative count fails for ever.
inline bool take_failure(int& count) {
  if (count == 0) return false;
  if (count > 0) --count;
  return true;
}

void run_due_scripts();
void note_spin();
void trip_guard(const std::string& what);
void allocate_surfaces();

}  // namespace headless::state
