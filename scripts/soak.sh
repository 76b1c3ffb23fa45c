#!/usr/bin/env bash
# The long soak: random play of the whole game on the in-memory platform,
# built with AddressSanitizer and UndefinedBehaviorSanitizer, invariants
# checked after every frame, leaks checked at the end.
#   bash scripts/soak.sh [steps, default 100000] [seed, default 1789]
# The report goes to build-stress-asan/soak-<steps>-<seed>.log.
set -euo pipefail
steps="${1:-100000}"
seed="${2:-1789}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh build
cmake -S . -B build-stress-asan -DCMAKE_BUILD_TYPE=Debug -DMARCHFIRE_SANITIZE=ON \
  -DMARCHFIRE_SDL=OFF -DMARCHFIRE_BENCH=OFF >/dev/null
cmake --build build-stress-asan -j2 --target stress_tests
log="build-stress-asan/soak-${steps}-${seed}.log"
echo "soak: ${steps} steps, seed ${seed}; log in ${log}"
start=$(date +%s)
set +e
MARCHFIRE_SOAK_STEPS="$steps" MARCHFIRE_SOAK_SEED="$seed" \
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./build-stress-asan/bin/stress_tests --gtest_filter='SoakTest.*' >"$log" 2>&1
status=$?
set -e
grep -E '^soak|^  run|ERROR|runtime error|LeakSanitizer|FAILED|PASSED' "$log" || true
echo "exit status ${status} after $(($(date +%s) - start)) s;" \
  "sanitizer reports: $(grep -c -E 'ERROR: (Address|Leak)Sanitizer|runtime error' "$log")"
exit "$status"
