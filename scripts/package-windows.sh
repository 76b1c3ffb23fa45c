#!/usr/bin/env bash
# Makes dist/marchfire-windows.zip: a folder with marchfire.exe, its eleven
# pictures and a short read-me. The program needs nothing else to run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-windows.sh

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
# last commit.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 200001010000.00)
find "$stage/marchfire" -exec touch -t "$stamp" {} +
rm -f dist/marchfire-windows.zip
(cd "$stage" && find marchfire | LC_ALL=C sort | zip -X -q -@ "$root/dist/marchfire-windows.zip")
echo "packaged: dist/marchfire-windows.zip"
unzip -l dist/marchfire-windows.zip
