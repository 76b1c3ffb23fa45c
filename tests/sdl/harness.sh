# Shared by the desktop program's end-to-end scripts (sourced, not run):
# a private Xvfb, screenshots, polling and real key events.
#
#   source harness.sh NAME     (the scratch folder is /tmp/marchfire-NAME.*)
#
# The caller sets `probe` (the screen probe), or calls program_and_probe;
# `game_pid` holds the program being watched, and `other_pid` any other
# program the script started, both ended on exit.

work="$(mktemp -d "/tmp/marchfire-$1.XXXXXX")"
game_pid=""
other_pid=""
xvfb_pid=""
passed=0

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  if [ "${keep_work:-0}" = 1 ]; then echo "screenshots and logs kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -f "$work/shot.ppm" ] && convert "$work/shot.ppm" "$work/last-shot.png" 2>/dev/null
  for log in "$work"/*.err; do [ -s "$log" ] && { echo "--- $log"; tail -20 "$log"; }; done
  keep_work=1
  exit 1
}

pass() {
  echo "ok: $*"
  passed=$((passed + 1))
}

# The arguments of a script that plays a built program: PROGRAM SCREEN_PROBE.
# The pictures are taken from beside PROGRAM (`bin_dir`).
program_and_probe() {
  program="$1"
  probe="$2"
  [ -x "$program" ] || fail "no program at $program"
  bin_dir="$(cd "$(dirname "$program")" && pwd)"
}

need_tools() {
  [ -x "$probe" ] || fail "no screen probe at $probe"
  for tool in Xvfb xdotool import convert "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

# A private X server at 1024 x 768; it picks a free display number itself.
start_xvfb() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -1 "$work/display")"
}

# Converts a picture to the probe's format: to_ppm FILE.bmp NAME
to_ppm() {
  [ -f "$1" ] || fail "$1 is missing"
  convert "$1" -depth 8 "ppm:$work/$2.ppm" || fail "cannot convert $1"
}

shot() { import -window root -depth 8 "ppm:$work/shot.ppm" 2>/dev/null; }

# Polls CHECK (a shell function) on fresh screenshots until it succeeds or
# LIMIT seconds have passed, as long as the game runs.
wait_for() {
  local deadline=$((SECONDS + $1)) check="$2"
  while [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || return 1
    if shot && "$check"; then return 0; fi
    sleep 0.2
  done
  return 1
}

# Holds KEY down for MILLISECONDS (below 1000), as a player's finger does.
hold() {
  xdotool keydown "$1"
  sleep "$(printf '0.%03d' "$2")"
  xdotool keyup "$1"
}

# Waits up to LIMIT_MS for the game to end; its exit code goes to `status`.
wait_exit() {
  local limit_ms="$1" started elapsed
  started=$(date +%s%N)
  while kill -0 "$game_pid" 2>/dev/null; do
    elapsed=$((($(date +%s%N) - started) / 1000000))
    [ "$elapsed" -gt "$limit_ms" ] && return 1
    sleep 0.02
  done
  wait "$game_pid"
  status=$?
  game_pid=""
  return 0
}

# Escape held as a player would; true when the game ended with 0 in LIMIT_MS.
escape_ends_game() {
  local ended
  xdotool keydown Escape
  wait_exit "$1"
  ended=$?
  xdotool keyup Escape
  [ "$ended" = 0 ] && [ "$status" = 0 ]
}

# Does the latest screenshot show the picture NAME (converted by to_ppm)
# with its top-left corner at X Y?
picture_at() {
  [ "$("$probe" same "$work/shot.ppm" "$work/$1.ppm" "$2" "$3" | awk '{print ($1 >= 0.99)}')" = 1 ]
}

intro_shown() { picture_at intro 0 0; }
