#!/usr/bin/env bash
# Tests the Windows program under Wine on a virtual X screen of
# 1024 x 768 x 24 (Wine switches the display only to the X screen's own size):
#   1. cross-builds and packages it (installing mingw-w64, Wine and the X
#      tools when they are missing);
#   2. runs the checks of the Windows backend;
#   3. plays the packaged game from another working directory: the intro
#      appears, Enter shows the play field (grid, shields, player, score
#      text), a missile from the player hits the grid and the score changes,
#      Left moves the player, a released Space fires, P pauses and resumes,
#      another window taking the focus pauses until the game is brought
#      back, Escape ends the program with exit code 0; the game's share of a
#      core is measured at the intro, in play, paused and while away;
#   4. starts the program without its pictures: one line on standard error,
#      a message box, a non-zero exit code.
# Keys are held for 150 ms or more: the game polls held keys, and an instant
# tap can fall between two polls. Screenshots are kept in
# build-windows/wine-test/shots/. When the test can't run here at all (no
# packages, no X server, no Wine), it says so and why, and exits 0.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

skip() {
  echo "windows: SKIPPED: $*"
  exit 0
}

echo "== Windows program: install, build, package"
if ! bash scripts/install-deps.sh windows; then
  echo "windows: could not install every package of scripts/packages/windows.txt"
fi
for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-windres cmake; do
  command -v "$tool" >/dev/null || skip "the cross compiler is not installed ($tool missing)"
done
if ! bash scripts/package-windows.sh; then
  echo "windows: FAILED: the Windows build or its package"
  exit 1
fi
for tool in wine Xvfb xdotool xdpyinfo import convert compare unzip xmllint; do
  command -v "$tool" >/dev/null || skip "Wine or the X tools are not installed ($tool missing)"
done

work="$root/build-windows/wine-test"
shots="$work/shots"
rm -rf "$work"
mkdir -p "$shots" "$work/elsewhere" "$work/alone"

passed=0
failed=0
expect() { # condition-status description
  if [ "$1" -eq 0 ]; then
    passed=$((passed + 1))
    echo "ok: $2"
  else
    failed=$((failed + 1))
    echo "FAILED: $2"
  fi
}
check() { # description command...
  local what="$1"
  shift
  "$@"
  expect $? "$what"
}

# ---- the virtual screen and Wine
xvfb_pid=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT

# Another test starting its own server at the same moment may take the
# number picked here; the next free one is tried then.
start_x_server() { # display number; true once the server answers
  Xvfb ":$1" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$1"
  for _ in $(seq 1 150); do
    xdpyinfo >/dev/null 2>&1 && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  return 1
}
unset DISPLAY
tries=0
for n in $(seq 90 130); do
  [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || continue
  start_x_server "$n" && break
  tries=$((tries + 1))
  [ "$tries" -lt 3 ] || break
done
xdpyinfo >/dev/null 2>&1 || skip "the virtual X server did not start (see $work/xvfb.log)"

# The prefix outlives a run: making a new one is the slowest part of a start.
export WINEPREFIX="$root/build-windows/wine-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No downloads of Wine's .NET and HTML engines: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
echo "== starting Wine (a new prefix takes a while)"
if ! timeout 300 wine wineboot --init >"$work/wineboot.log" 2>&1; then
  skip "Wine cannot start here (wineboot failed; see $work/wineboot.log)"
fi
# One Wine server for the whole test: a program started while the server of
# the one before is shutting down can fail to start.
wineserver -p

# ---- helpers on screenshots (in $shots) and pictures
shot() { import -window root "$shots/$1.png" 2>/dev/null; }
picture() { # a screenshot's name, or a file
  if [ -f "$1" ]; then echo "$1"; else echo "$shots/$1.png"; fi
}
# Pixels of exactly this colour in a region (WxH+X+Y).
colour_count() {
  convert "$(picture "$1")" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}
non_black_count() {
  convert "$(picture "$1")" -crop "$2" +repage -fill white +opaque black \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}
# Pixels of a region that differ from a picture of the same size; nothing
# when they can't be compared.
differing_pixels() {
  convert "$(picture "$1")" -crop "$2" +repage "$work/region.png" 2>/dev/null
  compare -metric AE "$work/region.png" "$3" null: 2>&1 | awk '/^[0-9]/ {print int($1); exit}'
}
# Where the player stands: the best match of its picture in the bottom rows,
# as "x differing-pixels".
find_player() {
  convert "$(picture "$1")" -crop 1024x64+0+704 +repage "$work/band.png" 2>/dev/null
  compare -metric AE -subimage-search "$work/band.png" "$unpacked/game_m_modified_small.bmp" \
    null: 2>&1 | sed -n 's/^\([0-9.e+]*\) @ \([0-9]*\),\([0-9]*\).*/\2 \1/p' | awk '{print $1, int($2)}'
}
hold_key() { # key seconds
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
# The game's own process (the one of this prefix), and its share of a core
# over some seconds, from its CPU time in /proc.
game_process() {
  local pid
  for pid in $(pgrep -x marchfire.exe); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}
cpu_share() { # pid seconds; prints the share of one core in per cent
  local hz before after
  hz=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || { echo "?"; return; }
  sleep "$2"
  after=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || { echo "?"; return; }
  awk -v d=$((after - before)) -v h="$hz" -v s="$2" 'BEGIN {printf "%.1f", d * 100 / (h * s)}'
}
at_most() { # value limit: true when value is a number not above limit
  awk -v v="$1" -v l="$2" 'BEGIN {exit !(v ~ /^[0-9.]+$/ && v + 0 <= l + 0)}'
}
# Where the enemy grid stands: its top-left corner as "x y", from its colour.
grid_origin() {
  convert "$(picture "$1")" -crop 1024x440+0+60 +repage -fill black +opaque '#126F06' -trim \
    -format '%X %Y' info: 2>/dev/null | tr -d '+'
}
# Runs a command until it succeeds, at most tries times, pausing between.
retry() { # tries pause command...
  local tries=$1 pause=$2 try
  shift 2
  for try in $(seq 1 "$tries"); do
    "$@" && return 0
    [ "$try" -lt "$tries" ] && sleep "$pause"
  done
  return 1
}
wait_for_file() { # file seconds
  retry $(($2 * 10)) 0.1 test -s "$1"
}

# ---- 2. the backend's own checks
echo "== checks of the Windows backend"
checks_exe="$root/build-windows/tests/win32/win32_backend_checks.exe"
program_path_for_wine="$(winepath -w "$root/build-windows/bin/marchfire.exe" 2>/dev/null)"
(cd "$work/elsewhere" && timeout 300 wine "$checks_exe" files messages keys display clock \
  waits pause resources "$program_path_for_wine") >"$work/checks.log" 2>&1
checks_status=$?
grep -v '^ALSA\|wine32\|wine32:i386' "$work/checks.log"
# The checks write Windows line ends.
summary=$(tr -d '\r' <"$work/checks.log" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -1)
if [ -n "$summary" ]; then
  passed=$((passed + $(echo "$summary" | awk '{print $1}')))
  failed=$((failed + $(echo "$summary" | awk '{print $3}')))
fi
expect $(( checks_status == 0 && ${#summary} > 0 ? 0 : 1 )) "the backend checks ran to the end and passed"

# Beside a program installed deep in the file tree, a path is longer than
# OpenFile takes.
deep="$work/deep/a_folder_with_a_rather_long_name_one/a_folder_with_a_rather_long_name_two/a_folder_with_a_rather_long_name_three"
mkdir -p "$deep"
cp "$checks_exe" "$deep/"
(cd "$work/elsewhere" && timeout 120 wine "$deep/win32_backend_checks.exe" files) >"$work/deep-checks.log" 2>&1
deep_status=$?
grep -v '^ALSA\|wine32' "$work/deep-checks.log"
deep_length=$(tr -d '\r' <"$work/deep-checks.log" | sed -n 's/^program directory: \([0-9]*\) characters$/\1/p')
expect $(( deep_status == 0 && ${deep_length:-0} > 128 ? 0 : 1 )) \
  "files beside a program deeper than 128 characters (${deep_length:-?}) are found (status $deep_status)"

# The system refuses to start a program whose manifest is not well-formed
# XML; Wine is more lenient, so the embedded file is checked here too.
manifest="$root/build-windows/platform/win32/marchfire.manifest"
check "the program's manifest is well-formed XML" xmllint --noout "$manifest"

# ---- 3. the packaged game, end to end
echo "== the packaged game"
unpacked="$work/unpacked/marchfire"
mkdir -p "$work/unpacked"
unzip -q dist/marchfire-windows.zip -d "$work/unpacked"
package_listing=$(cd "$unpacked" && ls | LC_ALL=C sort | tr '\n' ' ')
expected_listing="README.txt dead.bmp finished.bmp game_m_modified_small.bmp intro.bmp junior.bmp marchfire.exe missile.bmp senior.bmp shield_blue.bmp shield_yellow.bmp sophomore.bmp spartan.bmp "
check "the zip holds the program, its eleven pictures and a read-me" \
  test "$package_listing" = "$expected_listing"
foreign_dlls=$(x86_64-w64-mingw32-objdump -p "$unpacked/marchfire.exe" | sed -n 's/.*DLL Name: //p' |
  grep -viE '^(kernel32|user32|gdi32|ddraw|winmm|msvcrt|advapi32|shell32|ole32)\.dll$' | tr '\n' ' ')
check "the program needs no DLL beside it (${foreign_dlls:-only system DLLs})" test -z "$foreign_dlls"

# Started from another working directory: the pictures must be found
# beside the program.
(cd "$work/elsewhere" && timeout 600 wine "$unpacked/marchfire.exe" >"$work/game.log" 2>&1
  echo $? >"$work/game.status") &

intro_shown=1
for _ in $(seq 1 120); do
  sleep 1
  shot intro
  if [ "$(differing_pixels intro 1024x768+0+0 "$unpacked/intro.bmp")" = "0" ]; then
    intro_shown=0
    break
  fi
  [ -s "$work/game.status" ] && break
done
expect $intro_shown "the intro fills the screen, pixel for pixel its picture"
game=$(game_process)
if [ $intro_shown -eq 0 ] && [ -n "$game" ]; then
  intro_cpu=$(cpu_share "$game" 3)
  echo "figure: waiting at the intro, the game uses $intro_cpu % of a core"
  at_most "$intro_cpu" 5
  expect $? "the intro's key wait hands its time back ($intro_cpu % of a core)"
fi

# The play field shows once the grid's colour fills its place; the death
# picture means an enemy missile got the player first.
grid_shown() { [ "$(colour_count "$1" 1024x420+0+80 '#126F06')" -gt 1000 ]; }
death_shown() { [ "$(differing_pixels "$1" 640x480+192+144 "$unpacked/dead.bmp")" = "0" ]; }
shot_shows_grid() { shot "$1" && grid_shown "$1"; }
wait_for_play() { # screenshot name
  sleep 0.5
  retry 30 0.5 shot_shows_grid "$1"
}
# The pause line across the middle of the field, in the screenshot taken now.
shot_shows_pause_line() { # screenshot name
  shot "$1"
  [ "$(colour_count "$1" 1024x56+0+356 white)" -gt 200 ]
}
# Play goes on from wherever the enemies left it: after a death, Enter
# starts a new game. Checks that meet the death screen try again.
deaths=0
back_to_play() {
  shot now
  death_shown now || return 0
  deaths=$((deaths + 1))
  cp "$shots/now.png" "$shots/death-$deaths.png"
  echo "note: an enemy missile hit the player (death-$deaths.png); Enter starts a new game"
  hold_key Return 0.2
  wait_for_play now
}
# Moves the player until it stands with x in [low, high]; prints where.
move_player_to() { # low high screenshot-name
  local x
  read -r x _ <<<"$(find_player "$3")"
  for _ in 1 2 3 4 5 6 7 8; do
    [ -n "$x" ] || break
    [ "$x" -ge "$1" ] && [ "$x" -le "$2" ] && break
    local target=$((($1 + $2) / 2)) direction=Right distance
    distance=$((target - x))
    if [ "$distance" -lt 0 ]; then direction=Left; distance=$((-distance)); fi
    hold_key "$direction" "$(awk -v d="$distance" 'BEGIN {printf "%.2f", d / 500 + 0.05}')"
    sleep 0.2
    shot "$3"
    read -r x _ <<<"$(find_player "$3")"
  done
  echo "${x:-none}"
}

if [ $intro_shown -eq 0 ]; then
  hold_key Return 0.2
  wait_for_play play
  expect $? "Enter shows the play field: the enemy grid in its colour"
  [ -n "$game" ] && echo "figure: in play, the game uses $(cpu_share "$game" 3) % of a core"
  blue=$(differing_pixels play 240x89+150+600 "$unpacked/shield_blue.bmp")
  yellow=$(differing_pixels play 240x89+650+600 "$unpacked/shield_yellow.bmp")
  expect $(( ${blue:-99999} < 200 ? 0 : 1 )) "the blue shield at (150, 600) (${blue:-?} pixels differ)"
  expect $(( ${yellow:-99999} < 200 ? 0 : 1 )) \
    "the yellow shield at (650, 600) (${yellow:-?} pixels differ)"
  read -r player_x player_diff <<<"$(find_player play)"
  expect $(( ${player_diff:-99999} < 200 ? 0 : 1 )) \
    "the player at the bottom (x ${player_x:-?}, ${player_diff:-?} pixels differ)"
  score_pixels=$(colour_count play 124x24+900+0 white)
  expect $(( score_pixels > 20 ? 0 : 1 )) "the score text at the top right ($score_pixels white pixels)"
  # Neighbouring enemies overlap by a few columns, so the grid shows a little
  # less than 32 whole pictures of their colour.
  per_enemy=$(colour_count "$unpacked/spartan.bmp" 64x56+0+0 '#126F06')
  grid_pixels=$(colour_count play 1024x420+0+80 '#126F06')
  expect $(( per_enemy > 0 && grid_pixels * 10 >= per_enemy * 32 * 8 ? 0 : 1 )) \
    "all 32 enemies of the grid ($grid_pixels pixels of their colour, $per_enemy in one)"

  # A hit: a missile finds an enemy by the colour of the frame shown last,
  # which must stay readable after the flip; the score text then changes.
  # The player fires from the lane between the shields, under the grid's
  # middle columns whichever way it marches (its left edge stays within
  # 337..544 in the first sweep), and fires again after a miss. Standing
  # without cover, it may be shot first, more often on a loaded machine:
  # then it tries again in a new game, up to five times.
  outcome="not tried"
  for _ in 1 2 3 4 5; do
    back_to_play || break
    shot lane
    lane_x=$(move_player_to 560 600 lane)
    if [ "$lane_x" = "none" ] || [ "$lane_x" -lt 365 ] || [ "$lane_x" -gt 615 ]; then
      outcome="the player did not reach the lane between the shields (x $lane_x)"
      death_shown lane && continue
      break
    fi
    convert "$shots/lane.png" -crop 124x24+900+0 +repage "$work/score-before.png" 2>/dev/null
    outcome="no change of the score"
    for shot_number in 1 2 3; do
      hold_key space 0.15
      for attempt in $(seq 1 10); do
        sleep 0.25
        shot hit
        if death_shown hit; then
          outcome="died first"
          break 2
        fi
        if [ "$(differing_pixels hit 124x24+900+0 "$work/score-before.png")" != "0" ] &&
          [ "$(colour_count hit 124x24+900+0 white)" -gt 20 ]; then
          outcome="hit with shot $shot_number"
          break 2
        fi
      done
    done
    [ "$outcome" = "died first" ] || break
  done
  check "a missile from x ${lane_x:-?} hits the grid and the score changes ($outcome)" \
    test "${outcome#hit}" != "$outcome"

  # Held Left moves the player, to the left edge where no shield stands in
  # the way of a shot.
  moved_ok=1
  missile_seen=1
  for _ in 1 2 3; do
    back_to_play || break
    shot before-move
    read -r player_x _ <<<"$(find_player before-move)"
    # On a loaded machine a step may take twice its time: Left is held
    # again until the player stands clear of the blue shield.
    for _ in 1 2 3; do
      hold_key Left 2
      sleep 0.3
      shot moved
      read -r moved_x _ <<<"$(find_player moved)"
      [ "${moved_x:-0}" -lt 100 ] && break
      death_shown moved && break
    done
    death_shown moved && continue
    read -r moved_x moved_diff <<<"$(find_player moved)"
    moved_ok=$(( ${moved_diff:-99999} < 200 && ${moved_x:-9999} + 100 <= ${player_x:-0} ? 0 : 1 ))
    if [ "$moved_ok" -eq 0 ]; then
      before=$(non_black_count moved "16x590+$((moved_x + 22))+110")
      hold_key space 0.15
      for attempt in 1 2 3 4 5; do
        sleep 0.1
        shot fired
        after=$(non_black_count fired "16x590+$((moved_x + 22))+110")
        if [ "$after" -gt "$before" ]; then
          missile_seen=0
          break
        fi
      done
      death_shown fired && [ "$missile_seen" -ne 0 ] && continue
    fi
    break
  done
  expect "$moved_ok" "held Left moves the player left (from x ${player_x:-?} to ${moved_x:-?})"
  expect "$missile_seen" "a released Space fires a missile upward from the player"
fi

# ---- the pause: P, and another window taking the focus
if [ $intro_shown -eq 0 ]; then
  back_to_play
  hold_key p 0.1
  sleep 0.2
  retry 15 0.2 shot_shows_pause_line paused-1
  pause_line=$(colour_count paused-1 1024x56+0+356 white)
  expect $(( pause_line > 200 ? 0 : 1 )) "P pauses: a line over the field says so ($pause_line white pixels)"
  paused_cpu=$(cpu_share "$game" 3)
  echo "figure: paused, the game uses $paused_cpu % of a core"
  shot paused-2
  still=$(differing_pixels paused-2 1024x768+0+0 "$shots/paused-1.png")
  expect $(( ${still:-1} == 0 ? 0 : 1 )) "while paused nothing moves (${still:-?} pixels changed in 3 s)"
  at_most "$paused_cpu" 5
  expect $? "and the game hands its time back ($paused_cpu % of a core)"
  hold_key p 0.1
  # Resumed once the field has moved on from the paused picture and the line
  # has gone: looked at until then, not after a fixed time.
  resumed_shown() {
    shot resumed
    moved=$(differing_pixels resumed 1024x768+0+0 "$shots/paused-2.png")
    line_left=$(colour_count resumed 1024x56+0+356 white)
    [ "${moved:-0}" -gt 0 ] && [ $((line_left * 4)) -lt "$pause_line" ]
  }
  retry 20 0.2 resumed_shown
  expect $(( ${moved:-0} > 0 && line_left * 4 < pause_line ? 0 : 1 )) \
    "P again resumes: the field moves on, the line is gone (${moved:-?} pixels changed)"

  # Another program's window takes the focus, as a click on it would; the
  # game comes back the way a click on its task bar button brings it.
  back_to_play
  game_window=$(xdotool search --name '^DirectDraw 24-Bit Bitmap Loading$' 2>/dev/null | head -1)
  convert -size 64x64 xc:gray "$work/other.png"
  display -title marchfire-test-other -geometry +0+0 "$work/other.png" >/dev/null 2>&1 &
  other_pid=$!
  other_window=""
  other_window_found() {
    other_window=$(xdotool search --name '^marchfire-test-other$' 2>/dev/null | head -1)
    [ -n "$other_window" ]
  }
  retry 50 0.1 other_window_found
  if [ -n "$game_window" ] && [ -n "$other_window" ]; then
    xdotool windowfocus "$game_window" 2>/dev/null
    sleep 0.5
    shot before-away
    read -r away_x away_y <<<"$(grid_origin before-away)"
    xdotool windowfocus "$other_window" 2>/dev/null
    sleep 1
    away_cpu=$(cpu_share "$game" 4)
    echo "figure: with another window in front, the game uses $away_cpu % of a core"
    (cd "$work/elsewhere" && timeout 60 wine "$checks_exe" bring-back WINCLASS1) >/dev/null 2>&1
    field_back() { shot back && [ "$(colour_count back 1024x440+0+60 '#126F06')" -gt 1000 ]; }
    retry 15 0.2 field_back
    field_back_status=$?
    read -r back_x back_y <<<"$(grid_origin back)"
    at_most "$away_cpu" 5
    expect $? "losing the focus pauses the game ($away_cpu % of a core while away)"
    # In five seconds away the grid would have marched six times; the shots
    # around the pause may each fall next to one step.
    shift_x=$(( ${back_x:-9999} - ${away_x:-0} ))
    shift_y=$(( ${back_y:-9999} - ${away_y:-0} ))
    expect $(( ${shift_x#-} <= 40 && ${shift_y#-} <= 40 ? 0 : 1 )) \
      "the grid stood still while away (from ${away_x:-?},${away_y:-?} to ${back_x:-?},${back_y:-?})"
    expect "$field_back_status" "on return the field is on the screen again"
    runs_on() {
      shot back-later
      moved=$(differing_pixels back-later 1024x768+0+0 "$shots/back.png")
      [ "${moved:-0}" -gt 0 ]
    }
    sleep 0.2
    retry 20 0.2 runs_on
    expect $? "and the game runs on"
  else
    expect 1 "a second window to take the focus (game ${game_window:-none}, other ${other_window:-none})"
  fi
  kill "$other_pid" 2>/dev/null
  wait "$other_pid" 2>/dev/null
  # Paused once more: the Escape below must end the game from a pause too.
  hold_key p 0.1
  sleep 0.5
  shot paused-at-end
  quit_from="a pause"
fi

hold_key Escape 0.3
if wait_for_file "$work/game.status" 60; then
  game_status=$(cat "$work/game.status")
else
  game_status="still running after 60 s"
  wineserver -k >/dev/null 2>&1
fi
check "Escape (from ${quit_from:-play}) ends the program with exit code 0 (got $game_status)" \
  test "$game_status" = "0"

# ---- 4. a start without the pictures
echo "== a start without the pictures"
cp "$unpacked/marchfire.exe" "$work/alone/"
(cd "$work/alone" && timeout 300 wine "$work/alone/marchfire.exe" >"$work/alone.out" 2>"$work/alone.err"
  echo $? >"$work/alone.status") &
box=""
for _ in $(seq 1 60); do
  sleep 1
  box=$(xdotool search --name '^marchfire$' 2>/dev/null | head -1)
  [ -n "$box" ] || [ -s "$work/alone.status" ] || continue
  break
done
shot failed-start
check "a message box tells why the game could not start" test -n "$box"
grep -v '^ALSA\|wine32' "$work/alone.err" | grep 'marchfire:' >"$work/alone.line"
check "one line on standard error names the missing picture: $(head -c 200 "$work/alone.line")" \
  grep -q 'game_m_modified_small.bmp' "$work/alone.line"
if [ -n "$box" ]; then
  xdotool windowactivate --sync "$box" >/dev/null 2>&1 || xdotool windowfocus "$box" >/dev/null 2>&1
  hold_key Return 0.2
fi
if wait_for_file "$work/alone.status" 60; then
  alone_status=$(cat "$work/alone.status")
else
  alone_status="still running after 60 s"
  wineserver -k >/dev/null 2>&1
fi
check "the failed start ends, with a non-zero exit code (got $alone_status)" \
  test "$alone_status" != "0" -a "$alone_status" != "124" -a "${alone_status#still}" = "$alone_status"

echo "screenshots: $shots"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
