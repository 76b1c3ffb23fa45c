#!/usr/bin/env bash
# The browser build's figures (docs/performance.md, "Web"): builds dist/web/
# and measures it in headless Chromium. Exits non-zero when a bound is missed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/web/figures.js dist/web
