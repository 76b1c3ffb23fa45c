// The loop's message queue: Space releases from the page, in the order they
// happened, and the close, destroy and quit messages that the game posts.
#include <deque>

#include "platform/platform.h"
#include "platform/web/backend.h"

namespace {

std::deque<platform::WindowMessage> queue;

void take_page_events() {
  for (int released = host_take_space_releases(); released > 0; --released) {
    platform::WindowMessage message;
    message.kind = platform::MessageKind::key_up;
    message.key_code = platform::key_code_space;
    queue.push_back(message);
  }
}

}  // namespace

namespace platform {

bool fetch_message(WindowMessage& out) {
  take_page_events();
  if (queue.empty()) return false;
  out = queue.front();
  queue.pop_front();
  return true;
}

void dispatch_message(const WindowMessage& message) {
  // The quit message belongs to the loop, not to a window; and a destroyed
  // window takes no more messages.
  if (message.kind == MessageKind::quit) return;
  WindowProc proc = web_backend::game_window_proc();
  if (proc == nullptr || !web_backend::game_window_exists()) return;
  proc(message);
}

std::intptr_t default_window_proc(const WindowMessage& message) {
  if (message.kind == MessageKind::close) web_backend::destroy_game_window();
  return 0;
}

// Nothing to validate: the canvas keeps its picture by itself.
void validate_window(const WindowMessage&) {}

void post_close_request() {
  WindowMessage message;
  message.kind = MessageKind::close;
  queue.push_back(message);
}

void post_quit(int exit_code) {
  WindowMessage message;
  message.kind = MessageKind::quit;
  message.exit_code = exit_code;
  queue.push_back(message);
}

}  // namespace platform
