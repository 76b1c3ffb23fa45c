// The frame: composed by the game in memory of our own and handed to the
// page's canvas at each flip, turned into the canvas's byte order on the way.
//
// The memory is ours, so the frame just shown stays readable after unlock
// and flip until the next lock: the game reads its previous frame to find
// what its missiles hit.
#include <emscripten.h>

#include <vector>

#include "platform/platform.h"
#include "platform/web/backend.h"
#include "platform/web/pixel_order.h"

namespace {

constexpr int frame_pitch = platform::frame_width * 4;
constexpr std::size_t frame_size =
    static_cast<std::size_t>(platform::frame_width) * platform::frame_height;

std::vector<std::uint32_t> frame;  // empty while the display is closed
std::vector<std::uint32_t> shown;  // the canvas's RGBA bytes of the last flip
bool locked = false;

}  // namespace

namespace web_backend {

std::uint32_t* frame_pixels() {
  return frame.empty() ? nullptr : frame.data();
}

bool frame_locked() {
  return locked;
}

}  // namespace web_backend

namespace platform {

bool display_open() {
  if (!web_backend::game_window_exists()) {
    web_backend::set_error("cannot open the display: there is no game window");
    return false;
  }
  if (!frame.empty()) return true;
  frame.assign(frame_size, 0);
  shown.assign(frame_size, 0);
  locked = false;
  return true;
}

bool lock_back_surface(LockedSurface& out) {
  if (frame.empty()) {
    web_backend::set_error("cannot lock the frame: the display is not open");
    return false;
  }
  locked = true;
  out.pixels = frame.data();
  out.pitch = frame_pitch;
  return true;
}

bool unlock_back_surface() {
  if (!locked) {
    web_backend::set_error("cannot unlock the frame: it is not locked");
    return false;
  }
  locked = false;
  return true;
}

bool flip() {
  if (frame.empty()) {
    web_backend::set_error("cannot show the frame: the display is not open");
    return false;
  }
  if (locked) {
    web_backend::set_error("cannot show the frame while it is locked");
    return false;
  }
  const double began = emscripten_get_now();
  to_canvas_order(frame.data(), shown.data(), frame_size);
  host_show_frame(reinterpret_cast<const std::uint8_t*>(shown.data()), frame_width, frame_height,
                  emscripten_get_now() - began);
  return true;
}

void display_close() {
  frame.clear();
  frame.shrink_to_fit();
  shown.clear();
  shown.shrink_to_fit();
  locked = false;
}

}  // namespace platform
