#!/usr/bin/env bash
# The desktop program where its devices or files fail it:
#
#   program_without_devices.sh no-display   PROGRAM IMAGE_DIR
#   program_without_devices.sh unfit-sprite PROGRAM IMAGE_DIR
#
# no-display: with no X, no Wayland and no SDL_VIDEODRIVER the program must
# refuse to start with one line saying so and a non-zero code, rather than
# play on an invisible screen and wait for ever for a key.
# unfit-sprite: a truncated, empty, foreign-depth or lying "spartan.bmp"
# beside the real program ends the start with a line naming the file.
# (No sound device, and a missing sprite, are played through in the SDL
# end-to-end test.)
set -uo pipefail
check="$1"
program="$2"
images="$3"
work="$(mktemp -d /tmp/marchfire-devices.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Runs the program copied into $work/game from the directory $work/elsewhere,
# so that only the files beside it count; at most 15 s.
run_program() {
  (cd "$work/elsewhere" && exec timeout -k 2 15 "$work/game/$(basename "$program")") \
    >"$work/out" 2>"$work/err"
  status=$?
}

# The program's own lines on standard error (libraries may add theirs).
own_lines() { grep -c '^marchfire: ' "$work/err"; }

mkdir -p "$work/game" "$work/elsewhere"
cp "$program" "$work/game/"
cp "$images"/*.bmp "$work/game/"

case "$check" in
  no-display)
    unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
    export SDL_AUDIODRIVER=dummy
    run_program
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
      fail "with no display the program was still running after 15 s (an invisible game waiting for a key)"
    elif [ "$status" = 0 ]; then
      fail "with no display the program ended with exit code 0"
    elif [ "$status" -gt 128 ]; then
      fail "with no display the program died of signal $((status - 128))"
    elif [ "$(own_lines)" != 1 ] || ! grep '^marchfire: ' "$work/err" | grep -qi 'display'; then
      fail "with no display standard error holds no one line about the display"
    else
      echo "ok: no display: exit code $status, $(grep '^marchfire: ' "$work/err")"
    fi
    ;;
  unfit-sprite)
    export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
    sprite="$work/game/spartan.bmp"
    size=$(stat -c %s "$images/spartan.bmp")
    patch32() {  # OFFSET VALUE: a little-endian 32-bit field
      printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) \
        $(($2 >> 16 & 255)) $(($2 >> 24 & 255)))" |
        dd of="$sprite" bs=1 seek="$1" conv=notrunc status=none
    }
    for kind in truncated zero-size 32-bit 1-bit negative-height oversized-size-field; do
      cp "$images/spartan.bmp" "$sprite"
      case "$kind" in
        truncated) truncate -s $((size / 2)) "$sprite" ;;
        zero-size) : >"$sprite" ;;
        32-bit) printf '\x20\x00' | dd of="$sprite" bs=1 seek=28 conv=notrunc status=none ;;
        1-bit) printf '\x01\x00' | dd of="$sprite" bs=1 seek=28 conv=notrunc status=none ;;
        negative-height) patch32 22 $((0x100000000 - 56)) ;;
        oversized-size-field) patch32 34 $((size + 4096)) ;;
      esac
      run_program
      if [ "$status" = 0 ] || [ "$status" -ge 124 ]; then
        fail "$kind spartan.bmp: exit code $status"
      elif [ "$(own_lines)" != 1 ] || ! grep '^marchfire: ' "$work/err" | grep -q 'spartan\.bmp'; then
        fail "$kind spartan.bmp: no one line naming the file on standard error"
      elif grep -q '^marchfire: marchfire:' "$work/err"; then
        fail "$kind spartan.bmp: the program's name stands twice in its line"
      else
        echo "ok: $kind spartan.bmp: exit code $status"
      fi
    done
    ;;
  *)
    echo "unknown check: $check"
    exit 2
    ;;
esac
exit "$failed"
