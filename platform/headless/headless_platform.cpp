// The in-memory platform: every seam function, driven by the controls of
// headless.h instead of a device.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_state.h"

namespace hs = headless::state;

namespace platform {

std::uint32_t tick_ms() {
  hs::run_due_scripts();
  const std::uint32_t now = hs::clock;
  hs::clock += hs::tick_step;
  hs::idle_fetches = 0;
  hs::note_spin();
  return now;
}

void sleep_ms(std::uint32_t ms) {
  hs::clock += ms;
  hs::spins = 0;
  hs::run_due_scripts();
}

void rest(std::uint32_t ms_left) {
  ++hs::rests;
  hs::last_rest = ms_left;
  if (hs::rest_hook) hs::rest_hook(ms_left);
  hs::run_due_scripts();
}

bool key_down(Key key) {
  hs::run_due_scripts();
  if (hs::key_poll_hook) hs::key_poll_hook();
  hs::idle_fetches = 0;
  const bool down = hs::keys[static_cast<int>(key)];
  hs::clock += hs::key_poll_step;
  if (down) {
    hs::idle_key_polls = 0;
  } else if (++hs::idle_key_polls > hs::key_poll_limit) {
    hs::trip_guard("a key wait never ended (" + std::to_string(hs::idle_key_polls) +
                   " polls with no key down)");
    hs::idle_key_polls = 0;
    hs::keys[static_cast<int>(Key::escape)] = true;
    return key == Key::escape;
  }
  return down;
}

bool register_window_class(const char*, WindowProc proc) {
  if (hs::take_failure(hs::fail_window_class_count)) {
    hs::error = "window classes refused";
    return false;
  }
  hs::proc = proc;
  hs::class_registered = true;
  return true;
}

bool create_window(const char*, const char*, int, int) {
  if (!hs::class_registered || hs::take_failure(hs::fail_window_count)) {
    hs::error = "no window could be made";
    return false;
  }
  hs::window = true;
  WindowMessage create;
  create.kind = MessageKind::create;
  if (hs::proc) hs::proc(create);
  return true;
}

bool fetch_message(WindowMessage& out) {
  hs::run_due_scripts();
  hs::spins = 0;
  if (!hs::queue.empty()) {
    out = hs::queue.front();
    hs::queue.pop_front();
    return true;
  }
  if (hs::quit_pending) {
    hs::idle_fetches = 0;
    hs::quit_pending = false;
    out = WindowMessage{};
    out.kind = MessageKind::quit;
    out.exit_code = hs::quit_code;
    return true;
  }
  if (++hs::idle_fetches > hs::idle_fetch_limit) {
    hs::idle_fetches = 0;
    hs::trip_guard("the message loop ran on without reading the clock or a key");
    post_quit(0);
  }
  return false;
}

void dispatch_message(const WindowMessage& message) {
  if (hs::proc) hs::proc(message);
}

std::intptr_t default_window_proc(const WindowMessage& message) {
  if (message.kind == MessageKind::close && hs::window) {
    hs::window = false;
    WindowMessage destroy;
    destroy.kind = MessageKind::destroy;
    if (hs::proc) hs::proc(destroy);
  }
  return 0;
}

void validate_window(const WindowMessage&) {
  ++hs::paints;
}

void post_close_request() {
  ++hs::closes_posted;
  WindowMessage close;
  close.kind = MessageKind::close;
  hs::queue.push_back(close);
}

void post_quit(int exit_code) {
  // Like the desktop's quit message, it comes after everything queued.
  hs::quit_pending = true;
  hs::quit_code = exit_code;
  hs::posted_quit = exit_code;
}

void hide_cursor() {
  hs::cursor_hidden = true;
}

bool display_open() {
  ++hs::opens;
  if (!hs::window || hs::take_failure(hs::fail_open_count)) {
    hs::error = "the display refused the 1024 x 768 x 32 mode";
    return false;
  }
  hs::open = true;
  hs::allocate_surfaces();
  return true;
}

bool lock_back_surface(LockedSurface& out) {
  ++hs::locks;
  if (!hs::open) return false;
  const int back = 1 - hs::front;
  out.pixels = hs::surfaces[back].data();
  out.pitch = hs::pitch;
  if (hs::take_failure(hs::fail_lock_count)) return false;
  hs::locked = back;
  hs::is_locked = true;
  return true;
}

bool unlock_back_surface() {
  ++hs::unlocks;
  if (!hs::open || !hs::is_locked || hs::take_failure(hs::fail_unlock_count)) return false;
  hs::is_locked = false;
  return true;
}

bool draw_text(const char* text, int x, int y, std::uint32_t colorref) {
  if (!hs::open || hs::is_locked || hs::take_failure(hs::fail_text_count)) return false;
  hs::texts.push_back({text, x, y, colorref, hs::flips});
  return true;
}

bool flip() {
  ++hs::flip_tries;
  if (!hs::open || hs::is_locked || hs::take_failure(hs::fail_flip_count)) return false;
  hs::front = 1 - hs::front;
  ++hs::flips;
  hs::run_due_scripts();
  return true;
}

void display_close() {
  if (!hs::open) return;
  hs::open = false;
  hs::is_locked = false;
  ++hs::closes;
}

void play_cue(int cue_id) {
  hs::cue_log.push_back({cue_id, hs::clock, hs::flips});
}

FileHandle file_open(const char* bare_name) {
  std::string path = hs::file_directory.empty() ? bare_name : hs::file_directory + "/" + bare_name;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    hs::error = "no such file";
    return invalid_file;
  }
  const FileHandle handle = hs::next_file++;
  hs::files[handle] = file;
  return handle;
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  auto it = hs::files.find(file);
  if (it == hs::files.end()) return -1;
  // Each injection counts down to its own read.
  const bool fails = hs::reads_until_failure >= 0 && hs::reads_until_failure-- == 0;
  const bool cut = hs::reads_until_cut >= 0 && hs::reads_until_cut-- == 0;
  if (fails) return -1;
  if (cut) count /= 2;
  return static_cast<std::int32_t>(std::fread(buffer, 1, count, it->second));
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  auto it = hs::files.find(file);
  if (it == hs::files.end()) return -1;
  const int whence = from == SeekFrom::begin ? SEEK_SET
                     : from == SeekFrom::end ? SEEK_END
                                             : SEEK_CUR;
  if (std::fseek(it->second, offset, whence) != 0) return -1;
  const long position = std::ftell(it->second);
  return position < 0 || position > 0x7FFFFFFF ? -1 : static_cast<std::int32_t>(position);
}

void file_close(FileHandle file) {
  auto it = hs::files.find(file);
  if (it == hs::files.end()) return;
  std::fclose(it->second);
  hs::files.erase(it);
}

const char* last_error() {
  return hs::error.c_str();
}

void report_fatal(const char* line) {
  hs::fatal.emplace_back(line);
  hs::open_at_fatal_report = hs::open;
  std::fprintf(stderr, "%s\n", line);
}

}  // namespace platform
