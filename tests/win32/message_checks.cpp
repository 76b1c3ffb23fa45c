// The window class, the window and the message queue: what the game's window
// procedure sees, default handling, painting and the way to the quit message.
#include <windows.h>

#include <vector>

#include "check.h"
#include "platform/platform.h"
#include "platform/win32/win32_globals.h"

namespace {

struct Seen {
  platform::MessageKind kind;
  std::uint32_t key_code;
};

std::vector<Seen> seen;
int paints = 0;

std::intptr_t recording_proc(const platform::WindowMessage& message) {
  seen.push_back({message.kind, message.key_code});
  switch (message.kind) {
    case platform::MessageKind::create:
    case platform::MessageKind::key_up:
      return 0;
    case platform::MessageKind::destroy:
      platform::post_quit(7);
      return 0;
    case platform::MessageKind::paint:
      ++paints;
      platform::validate_window(message);
      return 0;
    default:
      return platform::default_window_proc(message);
  }
}

bool was_seen(platform::MessageKind kind, std::uint32_t key_code = 0) {
  for (const Seen& one : seen) {
    if (one.kind == kind && one.key_code == key_code) return true;
  }
  return false;
}

// Fetches and dispatches until a message of this kind is fetched (returned
// undispatched) or the queue stays empty; false when none came.
bool fetch_until(platform::MessageKind kind, platform::WindowMessage& out) {
  const DWORD give_up = GetTickCount() + 2000;
  while (GetTickCount() < give_up) {
    if (!platform::fetch_message(out)) {
      Sleep(1);
      continue;
    }
    if (out.kind == kind) return true;
    platform::dispatch_message(out);
  }
  return false;
}

void drain_for(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  platform::WindowMessage message;
  while (GetTickCount() < until) {
    if (platform::fetch_message(message)) {
      platform::dispatch_message(message);
    } else {
      Sleep(1);
    }
  }
}

}  // namespace

void check_messages() {
  begin_group("messages");
  check(platform::register_window_class("MARCHFIRE_CHECKS", recording_proc),
        "the window class registers");
  check(!platform::register_window_class("MARCHFIRE_CHECKS", recording_proc),
        "the same class can't be registered twice");
  check(platform::last_error()[0] != '\0', "and the failure has a reason");

  check(!platform::create_window("NO_SUCH_CLASS", "checks", 320, 200),
        "a window of an unknown class is not created");
  check(platform::create_window("MARCHFIRE_CHECKS", "checks", 320, 200), "the window is created");
  HWND window = win32::main_window;
  check(window != nullptr && IsWindowVisible(window), "the window is visible from the start");
  RECT frame = {};
  GetWindowRect(window, &frame);
  check(frame.left == 0 && frame.top == 0 && frame.right == 320 && frame.bottom == 200,
        "the window has no border and stands at (0, 0)");
  check(was_seen(platform::MessageKind::create), "the procedure saw the creation");

  platform::WindowMessage message;
  const DWORD before_empty_fetch = GetTickCount();
  drain_for(200);
  check(!platform::fetch_message(message), "an empty queue gives no message");
  check(GetTickCount() - before_empty_fetch < 1000, "and the fetch does not wait");

  PostMessageA(window, WM_KEYUP, VK_SPACE, 0xC0390001);
  check(fetch_until(platform::MessageKind::key_up, message), "a key release is fetched");
  check(message.key_code == platform::key_code_space, "with the Space key's code");
  check(message.native[0] == reinterpret_cast<std::uintptr_t>(window) &&
            message.native[1] == WM_KEYUP && message.native[2] == VK_SPACE &&
            message.native[3] == 0xC0390001,
        "carrying the native message unchanged");
  seen.clear();
  platform::dispatch_message(message);
  check(was_seen(platform::MessageKind::key_up, platform::key_code_space),
        "dispatching hands it to the procedure");

  paints = 0;
  InvalidateRect(window, nullptr, FALSE);
  drain_for(300);
  check(paints == 1, "a window needing paint is painted once, then stays valid");
  check(!GetUpdateRect(window, nullptr, FALSE), "nothing is left to paint");

  seen.clear();
  platform::post_close_request();
  check(fetch_until(platform::MessageKind::close, message), "a close request is queued");
  platform::dispatch_message(message);
  check(was_seen(platform::MessageKind::close), "it reaches the procedure");
  check(was_seen(platform::MessageKind::destroy), "its default handling destroys the window");
  check(!IsWindow(window), "the window is gone");
  check(win32::main_window == nullptr, "and no stale handle to it is kept");
  check(fetch_until(platform::MessageKind::quit, message), "the quit message follows");
  check(message.exit_code == 7, "carrying the exit code given to post_quit");
  platform::post_close_request();
  check(!fetch_until(platform::MessageKind::close, message),
        "a close request without a window goes nowhere");
}
