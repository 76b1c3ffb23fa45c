// The game window: in a browser the page is the window, so this keeps only
// the class, the procedure, and whether the window still stands.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/web/backend.h"

namespace {

struct WindowClass {
  std::string name;
  platform::WindowProc proc = nullptr;
};

std::vector<WindowClass> window_classes;
platform::WindowProc window_proc = nullptr;
bool window_exists = false;

const WindowClass* find_class(const char* name) {
  for (const WindowClass& entry : window_classes) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

platform::WindowMessage message_of(platform::MessageKind kind) {
  platform::WindowMessage message;
  message.kind = kind;
  return message;
}

}  // namespace

namespace platform {

bool register_window_class(const char* class_name, WindowProc proc) {
  if (class_name == nullptr || *class_name == '\0' || proc == nullptr) {
    web_backend::set_error("a window class needs a name and a procedure");
    return false;
  }
  if (find_class(class_name) != nullptr) {
    web_backend::set_error(std::string("window class ") + class_name + " is registered already");
    return false;
  }
  window_classes.push_back({class_name, proc});
  return true;
}

// The title stays the page's own: a browser tab is named by its page.
bool create_window(const char* class_name, const char*, int width, int height) {
  const WindowClass* entry = class_name != nullptr ? find_class(class_name) : nullptr;
  if (entry == nullptr) {
    web_backend::set_error("no such window class");
    return false;
  }
  if (window_exists) {
    web_backend::set_error("the game window exists already");
    return false;
  }
  if (width <= 0 || height <= 0) {
    web_backend::set_error("a window needs a positive size");
    return false;
  }
  window_exists = true;
  window_proc = entry->proc;
  window_proc(message_of(MessageKind::create));
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
  if (window_proc != nullptr) window_proc(message_of(platform::MessageKind::destroy));
}

}  // namespace web_backend
