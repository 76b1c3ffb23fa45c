#!/usr/bin/env bash
# The browser build's figures (docs/performance.md, "Web"): builds dist/web/
# and measures it in headless Chromium (tests/web/figures.js, which exits
# non-zero when a bound is missed). Given a commit, also builds that commit
# into build-web/before-COMMIT/ and measures the two side by side, in turn,
# on a slowed processor too, and in Firefox (tests/web/throttled.js).
#
# usage: scripts/bench-web.sh [COMMIT [ROUNDS]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
status=0
node tests/web/figures.js dist/web || status=$?
if [ $# -ge 1 ]; then
  before="build-web/before-$1"
  if [ ! -f "$before/dist/web/marchfire.wasm" ]; then
    rm -rf "$before"
    mkdir -p "$before"
    git archive "$1" | tar -x -C "$before"
    (cd "$before" && bash scripts/build-web.sh)
  fi
  node tests/web/throttled.js --rounds "${2:-3}" "before=$before/dist/web" "after=dist/web"
fi
exit "$status"
