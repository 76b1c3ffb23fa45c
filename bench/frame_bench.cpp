// Composing a frame of play and searching it for the enemies' colour,
// against what moving the same bytes costs at the least.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/bench_setup.h"
#include "display/primitives.h"
#include "game/game_state.h"
#include "game/player.h"

namespace {

void compose_play_frame(benchmark::State& state) {
  if (!bench_setup::load_sprites()) return state.SkipWithError("no images");
  bench_setup::lay_out_play();
  bench_setup::OwnFrame frame;
  for (auto _ : state) {
    bench_setup::compose_play_frame(frame.view);
    benchmark::DoNotOptimize(frame.memory.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(compose_play_frame);

// The least a frame of play can cost: clearing 3 MiB and copying the same
// rectangles from sources already in the frame's pixel format.
void compose_baseline(benchmark::State& state) {
  bench_setup::lay_out_play();
  const auto rects = bench_setup::play_frame_rectangles();
  std::vector<std::vector<std::uint32_t>> sources;
  std::int64_t pixels = 0;
  for (const auto& r : rects) {
    sources.emplace_back(static_cast<std::size_t>(r.w) * r.h, 0x123456u);
    pixels += std::int64_t{r.w} * r.h;
  }
  bench_setup::OwnFrame frame;
  for (auto _ : state) {
    std::memset(frame.memory.data(), 0, frame.memory.size() * 4);
    for (std::size_t i = 0; i < rects.size(); ++i) {
      const auto& r = rects[i];
      for (std::int32_t row = 0; row < r.h; ++row) {
        std::memcpy(frame_row(frame.view, r.y + row) + r.x, sources[i].data() + row * r.w,
                    static_cast<std::size_t>(r.w) * 4);
      }
    }
    benchmark::DoNotOptimize(frame.memory.data());
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = static_cast<double>(pixels);
}
BENCHMARK(compose_baseline);

// The hit test of ten player missiles in flight over empty sky: every one
// reads its whole 9 x 9 box.
void probe_ten_missiles(benchmark::State& state) {
  if (!bench_setup::load_sprites()) return state.SkipWithError("no images");
  bench_setup::lay_out_play();
  bench_setup::OwnFrame frame;
  bench_setup::compose_play_frame(frame.view);
  for (auto _ : state) {
    int found = 0;
    for (const Missile& m : player_missiles) {
      found += frame_has_color(m.x, m.y - 30, m.x + missile_size, m.y - 30 + missile_size,
                               probe_color, probe_color, frame.view);
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(probe_ten_missiles);

// Reading the same 810 pixels once each.
void probe_baseline(benchmark::State& state) {
  bench_setup::lay_out_play();
  bench_setup::OwnFrame frame;
  for (std::size_t i = 0; i < frame.memory.size(); ++i)
    frame.memory[i] = static_cast<std::uint32_t>(i);
  for (auto _ : state) {
    std::uint32_t sum = 0;
    for (const Missile& m : player_missiles) {
      for (std::int32_t y = m.y - 30; y <= m.y - 30 + missile_size; ++y) {
        const std::uint32_t* row = frame_row(frame.view, y);
        for (std::int32_t x = m.x; x <= m.x + missile_size; ++x) sum += row[x];
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(probe_baseline);

}  // namespace
