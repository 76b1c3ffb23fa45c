#!/usr/bin/env bash
# The game as a player gets it: installed with `cmake --install`, and from
# the Debian package, started by the command its menu entry runs; the package
# held to the distribution's own checks.
#
#   install_test.sh BUILD_DIR SCREEN_PROBE
set -uo pipefail

source "$(dirname "$0")/harness.sh" install
build="$(cd "$1" && pwd)"
probe="$2"

need_tools dpkg-deb cpack perl lintian appstreamcli desktop-file-validate lexgrog man zcat
start_xvfb
to_ppm "$build/bin/intro.bmp" intro
images=("$build"/bin/*.bmp)
[ "${#images[@]}" -eq 11 ] || fail "expected the 11 pictures in $build/bin, found ${#images[@]}"

# Starts COMMAND from FOLDER (default: a folder without images); the intro
# picture INTRO (default: the game's own) must come, and Escape must end the
# game with 0.
plays() {
  local command="$1" name="$2" folder="${3:-$work/nowhere}"
  expected_intro="${4:-intro}"
  mkdir -p "$folder"
  (cd "$folder" && exec "$command") >"$work/$name.out" 2>"$work/$name.err" &
  game_pid=$!
  wait_for 60 expected_intro_shown || fail "$name: the intro never came"
  escape_ends_game 10000 || fail "$name: Escape did not end the game with exit code 0"
}
expected_intro_shown() { picture_at "$expected_intro" 0 0; }

# Every picture in the game's data folder DIR, and none beside PROGRAM.
images_in_data_folder() {
  local dir="$1" program="$2" image
  for image in "${images[@]}"; do
    [ -f "$dir/$(basename "$image")" ] || fail "$(basename "$image") is not in $dir"
    [ ! -e "$(dirname "$program")/$(basename "$image")" ] ||
      fail "$(basename "$image") lies beside the program; it belongs in $dir"
  done
}

# ---- cmake --install into a prefix of its own
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -3 "$work/install.log")"
[ -x "$prefix/games/marchfire" ] || fail "no games/marchfire after cmake --install"
[ "$(readlink -f "$prefix/bin/marchfire")" = "$(readlink -f "$prefix/games/marchfire")" ] ||
  fail "bin/marchfire does not lead to games/marchfire"
images_in_data_folder "$prefix/share/games/marchfire" "$prefix/games/marchfire"
[ -f "$prefix/share/man/man6/marchfire.6.gz" ] || fail "no manual page after cmake --install"
plays "$prefix/bin/marchfire" installed
pass "cmake --install: the command on bin/ plays with its pictures in share/games/marchfire"

# The installed tree moved elsewhere still finds its pictures: the program
# looks for them relative to itself.
mv "$prefix" "$work/moved"
plays "$work/moved/games/marchfire" moved
pass "cmake --install: a moved installation still plays"

# ---- the Debian package
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
debs=("$work"/package/marchfire_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single marchfire .deb: ${debs[*]}"
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0' || fail "the package does not depend on SDL2"

# lintian: nothing above information. A non-zero exit (errors found, or a
# failure of its own) fails too.
lintian --allow-root --tag-display-limit 0 --display-info --pedantic "$deb" >"$work/lintian.out" 2>"$work/lintian.err"
lintian_status=$?
if grep -q '^[EW]: ' "$work/lintian.out" || [ "$lintian_status" -ne 0 ]; then
  cat "$work/lintian.out"
  fail "lintian finds fault with the package (exit $lintian_status)"
fi
pass "lintian: no error and no warning ($(grep -c '^[IP]: ' "$work/lintian.out") notes)"

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"
program="$root/usr/games/marchfire"
[ -x "$program" ] && [ ! -L "$program" ] || fail "the program is not in /usr/games"
[ ! -e "$root/usr/bin" ] || fail "the package puts something in /usr/bin: $(ls "$root/usr/bin")"
images_in_data_folder "$root/usr/share/games/marchfire" "$program"

entry="$root/usr/share/applications/marchfire.desktop"
[ -f "$entry" ] || fail "the package has no desktop entry"
grep -q '^Categories=.*\bGame;' "$entry" || fail "the desktop entry is not in the Game category"
desktop-file-validate "$entry" >"$work/desktop.err" 2>&1 || fail "the desktop entry is not valid"
# Hints are suggestions; warnings are faults.
grep -qi 'warning' "$work/desktop.err" && fail "desktop-file-validate: $(cat "$work/desktop.err")"
icon="$(sed -n 's/^Icon=//p' "$entry")"
ls "$root"/usr/share/icons/hicolor/*/apps/"$icon".png >/dev/null 2>&1 ||
  fail "the icon '$icon' named by the desktop entry is not in the package"
command_name="$(sed -n 's/^Exec=//p' "$entry" | awk '{print $1}')"
[ "$command_name" = marchfire ] || fail "the menu runs '$command_name', not marchfire"

metainfo="$root/usr/share/metainfo/io.github.marchfire.Marchfire.metainfo.xml"
[ -f "$metainfo" ] || fail "the package has no AppStream metadata"
appstreamcli validate-tree --no-net "$root" >"$work/appstream.out" 2>&1 ||
  fail "appstreamcli rejects the metadata: $(cat "$work/appstream.out")"
grep -qE "^\s*[EW]: " "$work/appstream.out" && fail "appstreamcli: $(cat "$work/appstream.out")"
grep -q '<launchable type="desktop-id">marchfire.desktop</launchable>' "$metainfo" ||
  fail "the metadata does not launch the package's desktop entry"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metadata has no release $version"
pass "desktop entry, icon and AppStream metadata are valid and agree"

docs="$root/usr/share/doc/marchfire"
head -1 "$docs/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -q '^License: bitstream-vera' "$docs/copyright" || fail "the copyright file lacks the font's licence"
first_entry="$(zcat "$docs/changelog.gz" | head -1)"
[[ "$first_entry" == "marchfire ($version) "* ]] ||
  fail "the changelog's latest entry is '$first_entry', the package is $version"
page="$root/usr/share/man/man6/marchfire.6.gz"
[ -f "$page" ] || fail "no manual page marchfire.6.gz"
lexgrog "$page" | grep -q 'marchfire - ' || fail "the manual page has no NAME line: $(lexgrog "$page")"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >"$work/man.out" 2>"$work/man.err" ||
  fail "man cannot format the page"
[ ! -s "$work/man.err" ] || fail "the manual page has faults: $(cat "$work/man.err")"
zcat "$page" | grep -q "^\.TH MARCHFIRE 6 .*\"marchfire $version\"" || fail "the manual page is not of version $version"
for section in SYNOPSIS DESCRIPTION KEYS FILES "EXIT STATUS"; do
  zcat "$page" | grep -q "^\.SH \"\?$section\"\?$" || fail "the manual page has no $section"
done
pass "copyright, changelog $version and manual page"

# The pictures are found in each of their places, the first two before the
# last: the package's own from a folder without pictures, and a different
# intro from the working directory instead of the package's.
plays "$program" packaged
altered="$work/altered"
mkdir -p "$altered"
# Every byte after the headers inverted: the same size, other colours.
perl -e 'local $/; my $b = <STDIN>; my $at = unpack("V", substr($b, 10, 4));
  substr($b, $at) = ~substr($b, $at); print $b' <"$build/bin/intro.bmp" >"$altered/intro.bmp" ||
  fail "cannot make an altered intro"
to_ppm "$altered/intro.bmp" altered_intro
plays "$program" packaged_working_dir "$altered" altered_intro
pass "package: the program plays from a folder without pictures, and the working directory comes first"

echo "$passed passed, 0 failed"
