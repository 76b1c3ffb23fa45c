#include "platform/shared/window_classes.h"

#include <string>
#include <vector>

namespace window_classes {

namespace {

struct WindowClass {
  std::string name;
  platform::WindowProc proc = nullptr;
};

std::vector<WindowClass> registered;

const WindowClass* find(const char* name) {
  for (const WindowClass& entry : registered) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace

bool add(const char* class_name, platform::WindowProc proc, ErrorSink report) {
  if (class_name == nullptr || *class_name == '\0' || proc == nullptr) {
    report("a window class needs a name and a procedure");
    return false;
  }
  if (find(class_name) != nullptr) {
    report(std::string("window class ") + class_name + " is registered already");
    return false;
  }
  registered.push_back({class_name, proc});
  return true;
}

platform::WindowProc proc_for_new_window(const char* class_name, bool window_exists, int width,
                                         int height, ErrorSink report) {
  const WindowClass* entry = class_name != nullptr ? find(class_name) : nullptr;
  if (entry == nullptr) {
    report("no such window class");
    return nullptr;
  }
  if (window_exists) {
    report("the game window exists already");
    return nullptr;
  }
  if (width <= 0 || height <= 0) {
    report("a window needs a positive size");
    return nullptr;
  }
  return entry->proc;
}

void forget_all() {
  registered.clear();
}

platform::WindowMessage message_of(platform::MessageKind kind) {
  platform::WindowMessage message;
  message.kind = kind;
  return message;
}

}  // namespace window_classes
