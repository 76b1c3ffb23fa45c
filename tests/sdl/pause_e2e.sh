#!/usr/bin/env bash
# The pause of the real program under Xvfb, driven as a player would: another
# window takes the focus, the focus comes back, P, and Escape while paused.
# The grid's place is read from screenshots (where the enemy sprites are).
#
#   pause_e2e.sh PROGRAM SCREEN_PROBE
set -uo pipefail

source "$(dirname "$0")/harness.sh" pause
program_and_probe "$@"
need_tools xmessage
start_xvfb
for name in intro spartan; do to_ppm "$bin_dir/$name.bmp" "$name"; done

# The top-left enemy of the grid, "x y": it moves with every step.
grid_place() { "$probe" find "$work/shot.ppm" "$work/spartan.ppm" 60 56 0.97 | sort -n -k2 -k1 | head -1; }
grid_shown() { [ "$("$probe" find "$work/shot.ppm" "$work/spartan.ppm" 60 56 0.97 | wc -l)" -ge 30 ]; }
pause_line_shown() { [ "$("$probe" white "$work/shot.ppm" 0 450 1024 60)" -ge 200 ]; }
pause_line_gone() { [ "$("$probe" white "$work/shot.ppm" 0 450 1024 60)" -lt 50 ]; }

# Notes where the grid stands now, then polls until it stands elsewhere,
# within LIMIT s.
grid_marches() {
  shot
  grid_from=$(grid_place)
  wait_for "$1" grid_left_from
}
grid_left_from() {
  local now
  now=$(grid_place)
  [ -n "$now" ] && [ "$now" != "$grid_from" ]
}

# While paused the grid stays put for longer than two of its steps (0.8 s
# each in the first wave) would take.
grid_holds() {
  local before after
  shot
  before=$(grid_place)
  sleep 2.5
  shot
  after=$(grid_place)
  [ -n "$before" ] && [ "$before" = "$after" ] || fail "$1: the grid moved from $before to $after"
}

window_named() {  # NAME: the id of the first window with exactly this name
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

SDL_AUDIODRIVER=dummy "$program" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
wait_for 60 intro_shown || fail "the intro picture never filled the screen"
game_window=$(window_named Marchfire) || fail "no window titled Marchfire"
pass "the window is titled Marchfire"
# With no window manager, give the game the focus as a desktop would.
xdotool windowfocus --sync "$game_window"
hold Return 150
wait_for 30 grid_shown || fail "no play field after Enter"
grid_marches 10 || fail "the grid does not march in play"

# ---- another window takes the focus
xmessage -geometry 120x40+0+0 "elsewhere" >/dev/null 2>&1 &
other_pid=$!
other_window=$(window_named xmessage) || fail "the other window did not appear"
xdotool windowfocus --sync "$other_window"
wait_for 10 pause_line_shown || fail "no pause line after the focus went to another window"
grid_holds "focus elsewhere"
pass "focus elsewhere: the grid stands still and the pause line shows"

xdotool windowfocus --sync "$game_window"
wait_for 10 pause_line_gone || fail "the pause line stayed after the focus came back"
grid_marches 10 || fail "the grid did not march on after the focus came back"
pass "focus back: the line goes and the grid marches on"

# ---- P pauses and resumes
hold p 100
wait_for 10 pause_line_shown || fail "no pause line after P"
grid_holds "paused with P"
# The focus leaving and coming back does not end a pause the player chose.
xdotool windowfocus --sync "$other_window"
xdotool windowfocus --sync "$game_window"
grid_holds "paused with P, after the focus went and came back"
hold p 100
wait_for 10 pause_line_gone || fail "the pause line stayed after a second P"
grid_marches 10 || fail "the grid did not march on after a second P"
pass "P pauses (through a change of focus) and P resumes"

# ---- Escape still quits
hold p 100
wait_for 10 pause_line_shown || fail "no pause line after P"
escape_ends_game 2000 || fail "Escape while paused did not end the program with 0 (status '${status:-}')"
pass "Escape while paused ends the program with exit code 0"

echo "$passed passed, 0 failed"
