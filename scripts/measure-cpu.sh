#!/usr/bin/env bash
# What the desktop program costs while it waits and while it plays, and
# whether quick taps reach it: the real program on a private virtual screen
# (Xvfb), driven by real key events.
#
#   bash scripts/measure-cpu.sh [PROGRAM] [SCREEN_PROBE]
#
# Defaults: build/bin/marchfire and build/bin/screen_probe (both built by
# `cmake --build build`). Prints the process's own CPU time (user + system,
# from /proc) over MEASURE_SECONDS (default 5) per state, as a share of one
# core, with the display server's beside it, and the number of 12 ms taps of Left and Right (TAPS, default 50)
# that moved the player. The level picture and the death picture are reached
# by setting the game's own variables from a debugger (gdb): no enemies left,
# then the grid at the shields' line; everything after that is the program's
# ordinary path.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/bin/marchfire}")"
probe="$(realpath "${2:-$root/build/bin/screen_probe}")"
seconds="${MEASURE_SECONDS:-5}"
taps="${TAPS:-50}"
bin_dir="$(dirname "$program")"
work="$(mktemp -d /tmp/marchfire-measure.XXXXXX)"
source "$root/tests/sdl/harness.sh"

[ -x "$program" ] || fail "no program at $program"
need_tools gdb
start_xvfb
for name in intro spartan dead sophomore game_m_modified_small; do
  to_ppm "$bin_dir/$name.bmp" "$name"
done
hz=$(getconf CLK_TCK)

SDL_AUDIODRIVER=dummy "$program" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Nanoseconds the program's main thread ran, and waited to run, so far.
main_thread_ns() { awk '{printf "%.0f\n", $1 + $2}' "/proc/$game_pid/schedstat"; }

# Share of one core used over the next SECONDS, in percent: by the program;
# in brackets, by the display server on its behalf, and the share of the
# time its main thread ran or was ready to run (a thread that spins is
# ready all the time, and takes a whole core wherever one is free).
cpu_share() {
  local g0 g1 x0 x1 m0 m1 n0 n1
  g0=$(cpu_ticks "$game_pid")
  x0=$(cpu_ticks "$xvfb_pid")
  m0=$(main_thread_ns)
  n0=$(date +%s%N)
  sleep "$1"
  g1=$(cpu_ticks "$game_pid")
  x1=$(cpu_ticks "$xvfb_pid")
  m1=$(main_thread_ns)
  n1=$(date +%s%N)
  awk -v g="$((g1 - g0))" -v x="$((x1 - x0))" -v m="$((m1 - m0))" -v hz="$hz" -v ns="$((n1 - n0))" \
    'BEGIN { s = ns / 1e9; printf "%5.1f  (%.1f; %.0f)", 100 * g / hz / s, 100 * x / hz / s, 100 * m / ns }'
}

set_game_variable() {
  gdb -p "$game_pid" -batch -ex "set var $1" >"$work/gdb.log" 2>&1 ||
    fail "gdb could not set $1 (see $work/gdb.log)"
}

picture_at() { [ "$("$probe" same "$work/shot.ppm" "$work/$1.ppm" "$2" "$3" | awk '{print ($1 >= 0.99)}')" = 1 ]; }
enemies_shown() { [ "$("$probe" find "$work/shot.ppm" "$work/spartan.ppm" 60 56 0.97 | wc -l)" -ge 30 ]; }
level_picture_shown() { picture_at sophomore 215 144; }
death_picture_shown() { picture_at dead 192 144; }
pause_line_shown() { [ "$("$probe" white "$work/shot.ppm" 0 450 1024 60)" -ge 200 ]; }

# The player's x from the bottom row of the screen alone: quick enough to
# look after every tap.
player_x_now() {
  import -window root -crop 1024x64+0+704 +repage -depth 8 "ppm:$work/row.ppm" 2>/dev/null
  "$probe" find "$work/row.ppm" "$work/game_m_modified_small.ppm" 64 64 0.97 | awk '{print $1; exit}'
}

# Taps Left and Right in turn, each down for 12 ms, and counts the taps
# after which the player stood elsewhere. In turn, so that the player stays
# under the blue shield.
count_taps() {
  local detected=0 before after key
  before=$(player_x_now)
  [ -n "$before" ] || fail "the player is not on the screen before the taps"
  for i in $(seq "$taps"); do
    key=Left
    [ $((i % 2)) = 0 ] && key=Right
    xdotool keydown "$key" sleep 0.012 keyup "$key"
    sleep 0.1
    after=$(player_x_now)
    [ -n "$after" ] || fail "the player left the screen during the taps (tap $i)"
    [ "$after" != "$before" ] && detected=$((detected + 1))
    before="$after"
  done
  echo "$detected"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
wait_for 60 intro_shown || fail "the intro picture never filled the screen"
sleep 1
intro=$(cpu_share "$seconds")

hold Return 150
wait_for 30 enemies_shown || fail "no play field after Enter"
sleep 1
play=$(cpu_share "$seconds")

paused="no pause"
hold p 100
if wait_for 5 pause_line_shown; then
  paused=$(cpu_share "$seconds")
  hold p 100
  sleep 0.5
fi

tapped=$(count_taps)

set_game_variable "enemies_left = 0"
wait_for 20 level_picture_shown || fail "no level picture after the wave was emptied"
level=$(cpu_share 3)

wait_for 20 enemies_shown || fail "no play field after the level picture"
set_game_variable "formation_y = 600"
wait_for 20 death_picture_shown || fail "no death picture after the grid reached the shields"
sleep 1
death=$(cpu_share "$seconds")

escape_ends_game 5000 || fail "Escape on the death picture did not end the program"

echo "program: $program; load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-28s %s\n' "state" "CPU, % of one core: program  (display server; main thread running or ready)"
printf '%-28s %s\n' "intro picture waiting" "$intro"
printf '%-28s %s\n' "play" "$play"
printf '%-28s %s\n' "paused in play" "$paused"
printf '%-28s %s\n' "level picture (3 s)" "$level"
printf '%-28s %s\n' "death picture waiting" "$death"
echo "12 ms taps that moved the player: $tapped of $taps"
