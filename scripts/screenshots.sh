#!/usr/bin/env bash
# Takes the pictures of the game shown in README.md: the intro and the play
# field, from the real program on a virtual 1024 x 768 screen.
#
#   bash scripts/screenshots.sh      writes docs/intro.png and docs/play-field.png
#
# MARCHFIRE_BUILD_DIR chooses the build folder (build by default).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

lists=()
for list in build sdl assets; do
  [ -f "scripts/packages/$list.txt" ] && lists+=("$list")
done
bash scripts/install-deps.sh "${lists[@]}"
jobs=$(nproc 2>/dev/null || echo 2)
build="${MARCHFIRE_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target marchfire screen_probe
build="$(cd "$build" && pwd)"

set +e
probe="$build/bin/screen_probe"
work="$(mktemp -d /tmp/marchfire-screenshots.XXXXXX)"
source tests/sdl/harness.sh
need_tools
start_xvfb
to_ppm "$build/bin/intro.bmp" intro

to_ppm "$build/bin/game_m_modified_small.bmp" player
player_on_field() {
  "$probe" find "$work/shot.ppm" "$work/player.ppm" 64 64 0.97 | awk '$2 == 704 {found = 1} END {exit !found}'
}

# A moment of play: out from behind the shield, two shots on their way. An
# enemy missile may end that moment; then the next game is pictured.
for attempt in 1 2 3 4 5; do
  SDL_AUDIODRIVER=dummy "$build/bin/marchfire" >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  wait_for 60 intro_shown || fail "the intro never came"
  convert "$work/shot.ppm" docs/intro.png
  hold Return 150
  sleep 1.5
  hold Right 300
  hold space 100
  sleep 0.5
  hold space 100
  sleep 0.3
  shot
  pictured=1
  player_on_field && pictured=0
  [ "$pictured" = 0 ] && convert "$work/shot.ppm" docs/play-field.png
  escape_ends_game 5000 || fail "the game did not end on Escape"
  if [ "$pictured" = 0 ]; then
    echo "wrote docs/intro.png and docs/play-field.png"
    exit 0
  fi
  echo "attempt $attempt: the player was hit before the picture; again"
done
fail "no picture of the play field in five games"
