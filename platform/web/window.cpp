// The game window: in a browser the page is the window, so this keeps only
// the class, the procedure, and whether the window still stands.
#include "platform/platform.h"
#include "platform/shared/window_classes.h"
#include "platform/web/backend.h"

namespace {

platform::WindowProc window_proc = nullptr;
bool window_exists = false;

}  // namespace

namespace platform {

bool register_window_class(const char* class_name, WindowProc proc) {
  return window_classes::add(class_name, proc, web_backend::set_error);
}

// The title stays the page's own: a browser tab is named by its page.
bool create_window(const char* class_name, const char*, int width, int height) {
  const WindowProc proc = window_classes::proc_for_new_window(class_name, window_exists, width,
                                                              height, web_backend::set_error);
  if (proc == nullptr) return false;
  window_exists = true;
  window_proc = proc;
  window_proc(window_classes::message_of(MessageKind::create));
  return true;
}

// The page's style hides the pointer over the play field already.
void hide_cursor() {}

}  // namespace platform

namespace web_backend {

platform::WindowProc game_window_proc() {
  return window_proc;
}

bool game_window_exists() {
  return window_exists;
}

bool game_window_destroyed() {
  return !window_exists && window_proc != nullptr;
}

void destroy_game_window() {
  if (!window_exists) return;
  platform::display_close();
  window_exists = false;
  if (window_proc != nullptr)
    window_proc(window_classes::message_of(platform::MessageKind::destroy));
}

}  // namespace web_backend
