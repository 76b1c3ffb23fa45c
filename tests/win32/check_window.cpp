#include "check_window.h"

#include "check.h"
#include "platform/platform.h"
#include "platform/win32/win32_globals.h"

namespace {

std::intptr_t plain_proc(const platform::WindowMessage& message) {
  if (message.kind == platform::MessageKind::destroy) {
    platform::post_quit(0);
    return 0;
  }
  if (message.kind == platform::MessageKind::key_up) return 0;
  if (message.native[1] == WM_APP) {
    (*reinterpret_cast<const std::function<void()>*>(message.native[3]))();
    return 0;
  }
  return platform::default_window_proc(message);
}

}  // namespace

HWND open_check_window(const char* class_name, const char* title, int width, int height) {
  check(platform::register_window_class(class_name, plain_proc), "class");
  check(platform::create_window(class_name, title, width, height), "window");
  return win32::main_window;
}

void dispatch_pending() {
  platform::WindowMessage message;
  for (int i = 0; i < 200 && platform::fetch_message(message); ++i) {
    if (message.kind == platform::MessageKind::quit) return;
    platform::dispatch_message(message);
  }
}

void close_check_window() {
  platform::post_close_request();
  dispatch_pending();
}

bool take(platform::MessageKind kind, platform::WindowMessage& out) {
  for (int i = 0; i < 200; ++i) {
    if (!platform::fetch_message(out)) return false;
    if (out.kind == kind) return true;
    platform::dispatch_message(out);
  }
  return false;
}

void post_space_release(HWND window, std::uintptr_t count) {
  PostMessageA(window, WM_KEYUP, VK_SPACE, 0xC0390000 | count);
}

std::vector<std::uintptr_t> take_release_counts(std::size_t how_many) {
  std::vector<std::uintptr_t> counts;
  platform::WindowMessage message;
  while (counts.size() < how_many && take(platform::MessageKind::key_up, message)) {
    counts.push_back(message.native[3] & 0xF);
  }
  return counts;
}

void send_key(WORD virtual_key, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  if (virtual_key == VK_LEFT || virtual_key == VK_RIGHT) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &input, sizeof input);
  for (int look = 0; look < 500 && ((GetAsyncKeyState(virtual_key) & 0x8000) != 0) != down;
       ++look) {
    Sleep(10);
  }
}

void on_window_thread(HWND window, const std::function<void()>& action) {
  SendMessageA(window, WM_APP, 0, reinterpret_cast<LPARAM>(&action));
}
