// The desktop backend's benchmarks: they need a display (scripts/bench.sh
// gives them a virtual one, with SDL's software renderer).
#define SDL_MAIN_HANDLED
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/summary.h"
#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace {

std::intptr_t ignore_messages(const platform::WindowMessage& message) {
  return platform::default_window_proc(message);
}

}  // namespace

int main(int argc, char** argv) {
  if (!sdl_backend::start() || !platform::register_window_class("WINCLASS1", ignore_messages) ||
      !platform::create_window("WINCLASS1", "marchfire bench", 1024, 768) ||
      !platform::display_open()) {
    std::printf("SDL benchmarks skipped: %s\n", platform::last_error());
    sdl_backend::stop();
    return 0;
  }
  // With the refresh awaited (as the game runs) a frame takes one refresh
  // period whatever the work; the 15 ms of a step bind only the work itself.
  const char* vsync = std::getenv("SDL_RENDER_VSYNC");
  const double target_ms = vsync != nullptr && std::strcmp(vsync, "0") == 0 ? 15.0 : 0.0;
  const int result = bench_summary::run(
      argc, argv,
      {{"SDL unlock + text + flip, per frame", "sdl_unlock_text_flip", "frame_copy", 0, target_ms,
        true},
       {"SDL unlock (frame upload)", "sdl_unlock", "frame_copy", 0, 0, true},
       {"SDL score text", "sdl_text", "frame_copy", 0, 0, true},
       {"SDL flip (scaled copy, present)", "sdl_flip", "frame_copy", 0, 0, true}});
  sdl_backend::stop();
  return result;
}
