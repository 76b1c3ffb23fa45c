#!/usr/bin/env bash
# Sets up and runs every test: installs what is missing, builds the native
# program once, then runs the suites two at a time. A suite that drives a
# program in real time waits most of its run, so it shares the machine with
# one that compiles; each suite decides its checks by the program's own
# state, never by how fast the machine is, so sharing costs it nothing but
# time. Each suite writes build-logs/<suite>.log; a failed suite's log is
# shown at its end.
#
# MARCHFIRE_SUITES=ctest,browser picks suites (default: all).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
logs="$root/build-logs"
rm -rf "$logs"
mkdir -p "$logs"
began=$SECONDS

# The native build first: every suite after it uses its asset generator
# instead of building one of its own.
echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$logs/build.log" 2>&1 &&
  cmake --build build -j"$jobs" >>"$logs/build.log" 2>&1 || {
  tail -n 100 "$logs/build.log"
  echo "test: the native build failed (build-logs/build.log)"
  exit 1
}
export MARCHFIRE_ASSET_GENERATOR="$root/build/tools/marchfire_asset_generator"
echo "   $((SECONDS - began)) s"

suite_page() { node --test tests/web/input_test.js; }
suite_ctest() { cd build && ctest --output-on-failure -j"$jobs" --timeout 600; }
# The core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
# The shuffled repeats, which prove only that tests don't lean on each other,
# run in the plain build.
suite_sanitizers() {
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMARCHFIRE_SANITIZE=ON -DMARCHFIRE_SDL=OFF \
    -DMARCHFIRE_BENCH=OFF
  cmake --build build-asan -j"$jobs"
  cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600 -E '_shuffled$'
}
# The Windows program under Wine (it says why when it can't run here).
suite_windows() { /usr/bin/python3 tests/win32/e2e.py; }
# The browser build in Chromium, Firefox and WebKitGTK.
suite_browser() { bash scripts/test-web.sh; }
# The release, built twice in two folders: the same bytes.
suite_release() { bash tests/release/reproducible.sh; }

# Longest first, each compiling suite paired with a waiting one.
order=(windows sanitizers browser release ctest page)
if [ -n "${MARCHFIRE_SUITES:-}" ]; then IFS=, read -r -a order <<<"$MARCHFIRE_SUITES"; fi

passed=0 failed=0
declare -A pids=() started=()
ended=""
finish() {
  local name=$1 code=$2
  local took=$((SECONDS - started[$name]))
  if [ "$code" -eq 0 ]; then
    passed=$((passed + 1))
    # The suite's own closing line, where it has one.
    summary=$(grep -E '(passed|failed)' "$logs/$name.log" | tail -n 1 || true)
    echo "== $name: passed in $took s${summary:+ ($summary)}"
  else
    failed=$((failed + 1))
    echo "== $name: FAILED in $took s (exit $code); the end of build-logs/$name.log:"
    tail -n 150 "$logs/$name.log"
    echo "== end of $name"
  fi
}
next=0
while [ "$next" -lt "${#order[@]}" ] || [ "${#pids[@]}" -gt 0 ]; do
  while [ "$next" -lt "${#order[@]}" ] && [ "${#pids[@]}" -lt 2 ]; do
    name=${order[$next]}
    next=$((next + 1))
    started[$name]=$SECONDS
    echo "== $name: started"
    (set -euo pipefail; "suite_$name") </dev/null >"$logs/$name.log" 2>&1 &
    pids[$name]=$!
  done
  code=0
  wait -n -p ended "${pids[@]}" || code=$?
  for name in "${!pids[@]}"; do
    if [ "${pids[$name]}" = "$ended" ]; then
      unset "pids[$name]"
      finish "$name" "$code"
    fi
  done
done
echo "== all suites in $((SECONDS - began)) s"
echo "test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
