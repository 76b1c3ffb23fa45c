#!/usr/bin/env bash
# Sets up and runs every test: installs what is missing, builds, runs CTest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
# The browser page's input rules, under Node: seconds, no build, no browser.
node --test tests/web/input_test.js
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)
# The sanitizer build of the core and its tests.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMARCHFIRE_SANITIZE=ON -DMARCHFIRE_SDL=OFF -DMARCHFIRE_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600)
# The Windows program under Wine (it says why when it can't run here).
if [ -f tests/win32/e2e.py ]; then /usr/bin/python3 tests/win32/e2e.py; fi
# The browser build, played in a headless Chromium.
if [ -f scripts/test-web.sh ]; then bash scripts/test-web.sh; fi
# The release, built twice in two folders minutes apart: the same bytes.
bash tests/release/reproducible.sh
