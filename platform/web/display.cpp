// The frame: composed by the game in memory of our own and handed to the
// page's canvas at each flip, turned into the canvas's byte order on the way.
//
// The memory is ours, so the frame just shown stays readable after unlock
// and flip until the next lock: the game reads its previous frame to find
// what its missiles hit.
#include <emscripten.h>

#include <vector>

#include "platform/platform.h"
#include "platform/shared/frame_memory.h"
#include "platform/web/backend.h"
#include "platform/web/pixel_order.h"

namespace {

constexpr std::size_t frame_size =
    static_cast<std::size_t>(platform::frame_width) * platform::frame_height;

std::vector<std::uint32_t> shown;  // the canvas's RGBA bytes of the last flip

}  // namespace

namespace platform {

bool display_open() {
  if (!web_backend::game_window_exists()) {
    web_backend::set_error("cannot open the display: there is no game window");
    return false;
  }
  frame_memory::open();
  shown.assign(frame_size, 0);
  return true;
}

bool lock_back_surface(LockedSurface& out) {
  return frame_memory::lock(out, web_backend::set_error);
}

bool unlock_back_surface() {
  return frame_memory::unlock(web_backend::set_error);
}

bool flip() {
  if (!frame_memory::ready("cannot show the frame", web_backend::set_error)) return false;
  const double began = emscripten_get_now();
  to_canvas_order(frame_memory::pixels(), shown.data(), frame_size);
  host_show_frame(reinterpret_cast<const std::uint8_t*>(shown.data()), frame_width, frame_height,
                  emscripten_get_now() - began);
  return true;
}

void display_close() {
  frame_memory::close();
  shown.clear();
  shown.shrink_to_fit();
}

}  // namespace platform
