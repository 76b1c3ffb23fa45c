#include "platform/shared/frame_memory.h"

#include <string>
#include <vector>

namespace frame_memory {

namespace {

std::vector<std::uint32_t> frame;  // empty while closed
bool is_locked = false;

}  // namespace

void open() {
  if (!frame.empty()) return;
  frame.assign(static_cast<std::size_t>(platform::frame_width) * platform::frame_height, 0);
  is_locked = false;
}

void close() {
  frame.clear();
  frame.shrink_to_fit();
  is_locked = false;
}

std::uint32_t* pixels() {
  return frame.empty() ? nullptr : frame.data();
}

bool locked() {
  return is_locked;
}

bool lock(platform::LockedSurface& out, ErrorSink report) {
  if (frame.empty()) {
    report("cannot lock the frame: the display is not open");
    return false;
  }
  is_locked = true;
  out.pixels = frame.data();
  out.pitch = pitch;
  return true;
}

bool unlock(ErrorSink report) {
  if (!is_locked) {
    report("cannot unlock the frame: it is not locked");
    return false;
  }
  is_locked = false;
  return true;
}

bool ready(const char* what, ErrorSink report) {
  if (frame.empty()) {
    report(std::string(what) + ": the display is not open");
    return false;
  }
  if (is_locked) {
    report(std::string(what) + ": the frame is locked");
    return false;
  }
  return true;
}

}  // namespace frame_memory
