#!/usr/bin/env bash
# Plays the real program under Xvfb with real key events and checks what a
# player would see and hear.
#
#   e2e.sh PROGRAM SCREEN_PROBE
#
# The images are taken from beside PROGRAM. Every wait polls with a generous
# limit, and every key is held for a realistic time, so a slow, loaded
# machine passes too.
set -uo pipefail

source "$(dirname "$0")/harness.sh" e2e
program_and_probe "$@"
need_tools
start_xvfb
for name in intro game_m_modified_small shield_blue shield_yellow spartan missile; do
  to_ppm "$bin_dir/$name.bmp" "$name"
done

start_game() {  # LOG_NAME, with the environment already set by the caller
  "$program" >"$work/$1.out" 2>"$work/$1.err" &
  game_pid=$!
}

# ---- checks on the latest screenshot
enemy_count() { "$probe" find "$work/shot.ppm" "$work/spartan.ppm" 60 56 0.97 | wc -l; }
player_x() { "$probe" find "$work/shot.ppm" "$work/game_m_modified_small.ppm" 64 64 0.97 | awk '$2 == 704 {print $1; exit}'; }
play_field_shown() {
  [ "$(enemy_count)" -eq 32 ] && picture_at shield_blue 150 600 && picture_at shield_yellow 650 600 &&
    [ "$(player_x)" = 288 ] && [ "$("$probe" white "$work/shot.ppm" 924 0 100 20)" -ge 20 ]
}
player_at_left_edge() { [ "$(player_x)" = 0 ]; }
# The player seen, and elsewhere than at `x_before`.
player_moved() {
  x_after=$(player_x)
  [ -n "$x_after" ] && [ "$x_after" != "$x_before" ]
}

# ====================================================================
# A whole short game, with the sound written to a file.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw"
start_game play
wait_for 60 intro_shown || fail "the intro picture never filled the screen"
pass "intro shown"

sound_before_enter=$(stat -c %s "$work/sound.raw" 2>/dev/null || echo 0)
hold Return 150
wait_for 30 play_field_shown ||
  fail "no play field after Enter: $(enemy_count) enemies, player at '$(player_x)'"
pass "play field: 32 enemies, both shields, player at 288, white score text"

# Under the blue shield the player is safe; at the left edge too, for the
# half-minute the grid needs to march there. Go there first.
xdotool keydown Left
wait_for 30 player_at_left_edge
left_reached=$?
xdotool keyup Left
[ "$left_reached" = 0 ] || fail "Left held did not bring the player to the left edge"
x_before=0 x_after=""
hold Right 150
wait_for 5 player_moved || fail "the player did not move with Right held (at '$x_after')"
moved_to="$x_after"
pass "player moved right to $moved_to"

# Taps shorter than a step of play (12 ms; a step is 15) each move the
# player: Right and Left in turn, so that it stays where it is safe.
x_before="$moved_to"
for i in $(seq 10); do
  key=Right
  [ $((i % 2)) = 0 ] && key=Left
  xdotool keydown "$key" sleep 0.012 keyup "$key"
  wait_for 5 player_moved ||
    fail "tap $i of $key (12 ms) did not move the player (at '$x_before', then '$x_after')"
  x_before="$x_after"
done
pass "ten 12 ms taps of Right and Left each moved the player"
moved_to="$x_before"

missile_rising() {
  local x="$1" first second
  shot
  first=$("$probe" find "$work/shot.ppm" "$work/missile.ppm" 8 8 1 | awk -v x="$x" '$1 == x && $2 < 704 {print $2; exit}')
  [ -n "$first" ] || return 1
  sleep 0.1
  shot
  second=$("$probe" find "$work/shot.ppm" "$work/missile.ppm" 8 8 1 | awk -v x="$x" '$1 == x {print $2; exit}')
  # Gone off the top in between also counts as rising.
  [ -z "$second" ] && [ "$first" -lt 300 ] && return 0
  [ -n "$second" ] && [ "$second" -lt "$first" ]
}
rose=1
for _ in 1 2 3; do
  hold space 120
  if missile_rising $((moved_to + 26)); then rose=0; break; fi
done
[ "$rose" = 0 ] || fail "no missile rose from the player after Space was released"
pass "missile rises after Space"

loudest=$("$probe" loud "$work/sound.raw" "$sound_before_enter")
[ "$loudest" -ge 1000 ] || fail "the sound output after Enter is silent (largest sample $loudest)"
pass "sound after Enter (largest sample $loudest)"

escape_ends_game 1000 ||
  fail "Escape did not end the program with exit code 0 within a second (status '${status:-}')"
pass "Escape ends the program with exit code 0 within a second"

# ====================================================================
# No sound device at all: the game still starts, and Escape on the intro ends it.
export SDL_AUDIODRIVER=no-such-driver
start_game silent
wait_for 60 intro_shown || fail "without a sound device the intro never came"
escape_ends_game 1000 || fail "Escape on the intro did not end the silent game with 0"
pass "silent game starts and ends with Escape on the intro"

# ====================================================================
# A sprite file missing: the program says which, and fails.
mkdir -p "$work/missing" "$work/elsewhere"
cp "$program" "$bin_dir"/*.bmp "$work/missing/"
rm "$work/missing/spartan.bmp"
(cd "$work/elsewhere" && exec "$work/missing/$(basename "$program")") >"$work/missing.out" 2>"$work/missing.err" &
game_pid=$!
wait_exit 30000 || fail "with spartan.bmp missing the program did not end"
[ "$status" != 0 ] || fail "with spartan.bmp missing the program ended with exit code 0"
grep -q 'spartan\.bmp' "$work/missing.err" || fail "standard error does not name spartan.bmp"
pass "missing spartan.bmp: exit code $status, named on standard error"

echo "$passed passed, 0 failed"
