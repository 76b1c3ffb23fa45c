// The frame: composed by the game in memory of our own and handed to the
// page at each flip. A page that shows it through WebGL takes the game's
// words as they are (its shader puts the bytes in order); only the 2D
// canvas, where WebGL is refused or lost, needs them turned into RGBA bytes,
// and takes only the rows that changed.
//
// The flip waits for the display, as a desktop's does: the frame is shown at
// the browser's next refresh, and the game goes on once it has been.
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

std::vector<std::uint32_t> canvas_bytes;  // RGBA of the last flip, for a 2D canvas only

}  // namespace

namespace platform {

bool display_open() {
  if (!web_backend::game_window_exists()) {
    web_backend::set_error("cannot open the display: there is no game window");
    return false;
  }
  frame_memory::open();
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
  const std::uint32_t* frame = frame_memory::pixels();
  if (host_screen_wants_rgba() == 0) {
    host_show_frame(frame, nullptr, frame_width, frame_height, 0, 0, frame_height - 1);
    host_await_shown();
    return true;
  }
  const double began = emscripten_get_now();
  const bool fresh = canvas_bytes.empty();
  canvas_bytes.resize(frame_size);
  RowBand changed = to_canvas_order(frame, canvas_bytes.data(), frame_width, frame_height);
  if (fresh) changed = {0, frame_height - 1};
  host_show_frame(frame, reinterpret_cast<const std::uint8_t*>(canvas_bytes.data()), frame_width,
                  frame_height, emscripten_get_now() - began, changed.first, changed.last);
  host_await_shown();
  return true;
}

void display_close() {
  host_forget_frame();
  frame_memory::close();
  canvas_bytes.clear();
  canvas_bytes.shrink_to_fit();
}

}  // namespace platform
