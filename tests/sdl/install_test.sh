#!/usr/bin/env bash
# The game as a player gets it: installed with `cmake --install`, and from
# the Debian package, started by the command its menu entry runs.
#
#   install_test.sh BUILD_DIR SCREEN_PROBE
set -uo pipefail

build="$(cd "$1" && pwd)"
probe="$2"
work="$(mktemp -d /tmp/marchfire-install.XXXXXX)"
source "$(dirname "$0")/harness.sh"

need_tools dpkg-deb cpack
start_xvfb
to_ppm "$build/bin/intro.bmp" intro

# Starts COMMAND from a folder without images; the intro must come, and
# Escape must end the game with 0.
plays() {
  local command="$1" name="$2"
  mkdir -p "$work/nowhere"
  (cd "$work/nowhere" && exec "$command") >"$work/$name.out" 2>"$work/$name.err" &
  game_pid=$!
  wait_for 60 intro_shown || fail "$name: the intro never came"
  escape_ends_game 10000 || fail "$name: Escape did not end the game with exit code 0"
}

# ---- cmake --install into a prefix of its own
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -3 "$work/install.log")"
[ -x "$prefix/bin/marchfire" ] || fail "no bin/marchfire after cmake --install"
game_dir="$(dirname "$(readlink -f "$prefix/bin/marchfire")")"
for image in "$build"/bin/*.bmp; do
  [ -f "$game_dir/$(basename "$image")" ] || fail "$(basename "$image") is not installed beside the program"
done
plays "$prefix/bin/marchfire" installed
pass "cmake --install: the installed command plays, images beside the program"

# ---- the Debian package
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb="$(ls "$work"/package/marchfire_*.deb 2>/dev/null | head -1)"
[ -n "$deb" ] || fail "cpack made no marchfire .deb"
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0' || fail "the package does not depend on SDL2"
root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"

entry="$root/usr/share/applications/marchfire.desktop"
[ -f "$entry" ] || fail "the package has no desktop entry"
grep -q '^Categories=.*\bGame;' "$entry" || fail "the desktop entry is not in the Game category"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" >"$work/validate.err" 2>&1 || fail "the desktop entry is not valid"
fi
icon="$(sed -n 's/^Icon=//p' "$entry")"
ls "$root"/usr/share/icons/hicolor/*/apps/"$icon".png >/dev/null 2>&1 ||
  fail "the icon '$icon' named by the desktop entry is not in the package"
command_name="$(sed -n 's/^Exec=//p' "$entry" | awk '{print $1}')"
[ -L "$root/usr/bin/$command_name" ] || [ -x "$root/usr/bin/$command_name" ] ||
  fail "the menu's command '$command_name' is not in /usr/bin"
for image in "$build"/bin/*.bmp; do
  [ -f "$root/usr/libexec/marchfire/$(basename "$image")" ] ||
    fail "$(basename "$image") is not in the package beside the program"
done
plays "$root/usr/bin/$command_name" packaged
pass "package: desktop entry, icon, images; the menu's command plays"

echo "$passed passed, 0 failed"
