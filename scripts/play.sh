#!/usr/bin/env bash
# Builds the desktop game and starts it, installing whatever is missing.
#
#   bash scripts/play.sh
#
# Keys: Left/Right move, Space fires (on release), Enter starts, Escape
# quits, F11 switches between full screen and a window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# What the build and the program need: the toolchain, SDL2 and the asset
# generator's font renderer.
lists=()
for list in build sdl assets; do
  [ -f "scripts/packages/$list.txt" ] && lists+=("$list")
done
bash scripts/install-deps.sh "${lists[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target marchfire

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play.sh: the game is built (build/bin/marchfire), but there is no desktop here to show it on" >&2
  exit 1
fi
exec build/bin/marchfire
