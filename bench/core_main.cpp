// The core's benchmarks and their summary (scripts/bench.sh runs them).
#include "bench/summary.h"

int main(int argc, char** argv) {
  return bench_summary::run(
      argc, argv,
      {{"compose one frame of play", "compose_play_frame", "compose_baseline", 1.5, 0},
       {"colour probes of ten missiles", "probe_ten_missiles", "probe_baseline", 0, 0},
       {"bmp_load of intro.bmp (1024 x 768)", "load_intro", "read_intro_bytes", 0, 0},
       {"run_frame on headless, no pacing wait", "run_frame_headless", "compose_baseline", 0,
        1.0}});
}
