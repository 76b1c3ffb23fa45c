#!/usr/bin/env bash
# Makes dist/marchfire-<version>-windows.zip: a folder with marchfire.exe,
# its eleven pictures and a short read-me. The program needs nothing else to
# run.
#
# usage: scripts/package-windows.sh [CMAKE_OPTION...]   (passed to build-windows.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-windows.sh "$@"
version=$(bash scripts/version.sh)
zip_name="marchfire-$version-windows.zip"

bin=build-windows/bin
stage=build-windows/package
pictures=(game_m_modified_small shield_blue shield_yellow spartan missile intro
          sophomore junior senior finished dead)

rm -rf "$stage"
mkdir -p "$stage/marchfire" dist
cp "$bin/marchfire.exe" "$stage/marchfire/"
for name in "${pictures[@]}"; do
  cp "$bin/$name.bmp" "$stage/marchfire/"
done
cat > "$stage/marchfire/README.txt" <<'TEXT'
marchfire
=========

Start marchfire.exe. The game switches the screen to 1024 x 768 while it
runs and gives it back when it ends; where the screen can't be switched it
plays in a window. Keep the .bmp pictures in the same folder as the
program: it reads them at start.

Keys: Left and Right move, Space fires (when released), Enter starts,
P pauses and resumes, Escape quits, Alt+Enter or F11 switch between full
screen and a window. Switching to another program pauses the game too; it
goes on when you come back to it.

Gamepad (XInput): D-pad or left stick move, A or X fire (when released),
Start starts, or pauses and resumes in play, Back quits.
TEXT
sed -i 's/$/\r/' "$stage/marchfire/README.txt"

# The same inputs give the same archive: every entry gets the time of the
# last commit (zip keeps local time, so the zone is fixed), in one order.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 946684800)}
export TZ=UTC
find "$stage/marchfire" -exec touch -h -d "@$epoch" {} +
rm -f "dist/$zip_name"
(cd "$stage" && find marchfire | LC_ALL=C sort | zip -X -q -@ "$root/dist/$zip_name")
rm -f dist/marchfire-windows.zip  # the unversioned name of earlier builds
echo "packaged: dist/$zip_name"
unzip -l "dist/$zip_name"
