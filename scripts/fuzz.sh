#!/usr/bin/env bash
# Fuzzes the bitmap loader for a given time (default 60 seconds):
#   bash scripts/fuzz.sh [seconds]
# Builds the fuzzer with clang in build-fuzz/, the game's pictures in
# build-fuzz/assets/bin/, replays every seed whole, then runs libFuzzer.
# New inputs go to build-fuzz/corpus/, findings to build-fuzz/findings/;
# the log of the run is build-fuzz/last-run.log.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh build stress

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j2
# The game's own pictures, made by the asset generator, as seeds.
cmake -S tools -B build-fuzz/assets >/dev/null
cmake --build build-fuzz/assets -j2 --target marchfire_assets

mkdir -p build-fuzz/corpus build-fuzz/findings
./build-fuzz/make_seeds build-fuzz/corpus >/dev/null
pictures=(build-fuzz/assets/bin/*.bmp)
regressions=()
if compgen -G "fuzz/regressions/*" >/dev/null; then regressions=(fuzz/regressions/*); fi
# Whole files first: the fuzzer cuts inputs to max_len, the pictures are
# larger than that.
./build-fuzz/bmp_load_replay fuzz/seeds/* "${pictures[@]}" "${regressions[@]}" >/dev/null

echo "fuzzing bmp_load for ${seconds} s"
set +e
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  ./build-fuzz/bmp_load_fuzz \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -dict=fuzz/bmp.dict -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ \
  build-fuzz/corpus fuzz/seeds build-fuzz/assets/bin 2>&1 | tee build-fuzz/last-run.log \
  | grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::|ERROR|bmp_load:|SUMMARY' 
status=${PIPESTATUS[0]}
set -e
findings=$(find build-fuzz/findings -type f | wc -l)
echo "fuzzer exit status ${status}; ${findings} file(s) in build-fuzz/findings"
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  echo "a finding: replay it with build-fuzz/bmp_load_replay FILE, then add it to fuzz/regressions/"
  exit 1
fi
