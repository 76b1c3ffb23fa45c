#!/usr/bin/env bash
# Runs the benchmarks and prints each figure against its baseline:
#   bash scripts/bench.sh [extra Google Benchmark flags]
# Builds build-bench/ (RelWithDebInfo, as shipped). The SDL backend's figures
# run on a virtual X screen with SDL's software renderer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh build sdl stress
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARCHFIRE_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target marchfire_bench marchfire_sdl_bench 2>/dev/null ||
  cmake --build build-bench -j2 --target marchfire_bench

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
flags=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_min_time=0.5)
./build-bench/bench/marchfire_bench "${flags[@]}" "$@"
if [ -x build-bench/bench/marchfire_sdl_bench ]; then
  sdl_bench() {
    SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy \
      xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
      ./build-bench/bench/marchfire_sdl_bench "${flags[@]}" "$@"
  }
  echo
  echo "SDL backend as the game runs it: the flip waits for the (simulated) 60 Hz refresh"
  sdl_bench "$@"
  echo
  echo "SDL backend's own work: the same without waiting for the refresh"
  SDL_RENDER_VSYNC=0 sdl_bench "$@"
fi
