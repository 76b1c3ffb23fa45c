#!/usr/bin/env bash
# The browser test: builds dist/web/, then plays it in Debian's Chromium,
# headless, driven by puppeteer-core (pinned in tests/web/package-lock.json;
# it uses the installed Chromium and downloads no browser).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/web/play_test.js dist/web build-web/host-tools/bin
