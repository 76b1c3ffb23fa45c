// One whole step of play on the in-memory platform, its pacing wait cut
// short: the clock moves 15 ms with every reading.
#include <benchmark/benchmark.h>

#include "bench/bench_setup.h"
#include "display/display_device.h"
#include "game/frame_step.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "shell/app_main.h"

namespace {

void run_frame_headless(benchmark::State& state) {
  headless::reset();
  reset_game_state();
  headless::set_file_directory(bench_setup::image_dir());
  // Enter held: the intro at the end of start-up returns at once.
  headless::set_key(platform::Key::enter, true);
  if (!platform::register_window_class("WINCLASS1", window_proc) ||
      !platform::create_window("WINCLASS1", "bench", 1024, 768) || !startup()) {
    return state.SkipWithError(startup_failure());
  }
  headless::set_key(platform::Key::enter, false);
  headless::set_tick_step(15);
  // Behind the yellow shield no enemy missile reaches the player.
  player_x = 660;
  for (auto _ : state) {
    // Keep the grid clear of the shields: no death screen to wait on.
    if (formation_y > 300) formation_y = formation_start_y;
    benchmark::DoNotOptimize(run_frame());
  }
  shutdown();
}
BENCHMARK(run_frame_headless)->Unit(benchmark::kMicrosecond);

}  // namespace
