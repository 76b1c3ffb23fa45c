#!/usr/bin/env bash
# The game core talks to the operating system only through the platform seam:
# no platform header may appear above it.
set -euo pipefail
root="$1"
found=$(grep -rnE '#\s*include\s*[<"](SDL|windows|ddraw|mmsystem|wingdi|winuser|X11/|unistd|sys/|emscripten)' \
  "$root/game" "$root/display" "$root/assets" "$root/shell" "$root/platform/platform.h" || true)
if [ -n "$found" ]; then
  echo "platform headers above the seam:"
  echo "$found"
  exit 1
fi
echo "seam check: no platform header in the game core"
