#!/usr/bin/env bash
# The browser test: builds dist/web/, then plays it in Debian's Chromium and
# Firefox ESR, headless, driven by puppeteer-core, and in WebKitGTK's
# MiniBrowser under Xvfb, driven through WebKitWebDriver by selenium-webdriver
# (both pinned in tests/web/package-lock.json; they use the installed browsers
# and download none). MARCHFIRE_BROWSERS=chromium,firefox picks engines.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
# The program's vector code as the browser runs it, checked pixel for pixel.
NODE_PATH=/usr/share/nodejs em++ -std=c++20 -O2 -msimd128 -Wall -Wextra -I"$root" -sSINGLE_FILE \
  tests/web/pixel_rows_check.cpp display/pixel_rows.cpp -o build-web/pixel_rows_check.js
node build-web/pixel_rows_check.js
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/web/play_test.js dist/web build-web/host-tools/bin
