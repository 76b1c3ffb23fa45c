// The desktop backend's share of every frame: the upload at unlock, the
// score line, and the flip to the window.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace {

constexpr const char* score_line = "SCORE:  1275";

void lock_and_fill() {
  platform::LockedSurface surface;
  if (!platform::lock_back_surface(surface)) return;
  surface.pixels[0] ^= 1;  // a frame that changed
}

void sdl_unlock_text_flip(benchmark::State& state) {
  for (auto _ : state) {
    lock_and_fill();
    if (!platform::unlock_back_surface()) return state.SkipWithError(platform::last_error());
    platform::draw_text(score_line, 924, 0, 0xFFFFFF);
    if (!platform::flip()) return state.SkipWithError(platform::last_error());
  }
}
BENCHMARK(sdl_unlock_text_flip)->Unit(benchmark::kMicrosecond);

void sdl_unlock(benchmark::State& state) {
  for (auto _ : state) {
    lock_and_fill();
    if (!platform::unlock_back_surface()) return state.SkipWithError(platform::last_error());
  }
}
BENCHMARK(sdl_unlock)->Unit(benchmark::kMicrosecond);

void sdl_text(benchmark::State& state) {
  for (auto _ : state) {
    if (!platform::draw_text(score_line, 924, 0, 0xFFFFFF)) {
      return state.SkipWithError(platform::last_error());
    }
  }
}
BENCHMARK(sdl_text)->Unit(benchmark::kMicrosecond);

void sdl_flip(benchmark::State& state) {
  for (auto _ : state) {
    if (!platform::flip()) return state.SkipWithError(platform::last_error());
  }
}
BENCHMARK(sdl_flip)->Unit(benchmark::kMicrosecond);

// Moving one whole frame of pixels once.
void frame_copy(benchmark::State& state) {
  std::vector<std::uint32_t> from(1024 * 768, 0x123456u), to(1024 * 768);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(frame_copy)->Unit(benchmark::kMicrosecond);

}  // namespace
