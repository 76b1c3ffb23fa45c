#!/usr/bin/env bash
# Screenshots of the game's generated pictures and a contact sheet of its
# sprites, as PNG files, for anyone to look at.
#
#   bash scripts/show-assets.sh [OUT_DIR] [BUILD_DIR]
#
# OUT_DIR defaults to BUILD_DIR/asset-previews; BUILD_DIR to build. The assets
# are generated first (cmake --build BUILD_DIR --target marchfire_assets) when
# the build directory is configured. Needs ImageMagick (convert, montage).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-$root/build}"
out="${1:-$build/asset-previews}"
if ! command -v convert >/dev/null || ! command -v montage >/dev/null; then
  echo "show-assets: ImageMagick is needed (Debian: apt-get install imagemagick)" >&2
  exit 1
fi
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" --target marchfire_assets >/dev/null
fi
images="$build/bin"
generated="$build/generated"
if [ ! -f "$images/intro.bmp" ]; then
  echo "show-assets: no pictures in $images; configure and build first (cmake -S . -B $build)" >&2
  exit 1
fi
mkdir -p "$out"

# Each picture as it is, and as the game puts it on the 1024 x 768 screen.
for name in intro sophomore junior senior finished dead; do
  convert "$images/$name.bmp" "$out/$name.png"
done
for name in sophomore junior senior finished; do
  convert -size 1024x768 xc:black "$images/$name.bmp" -geometry +215+144 -composite "$out/screen_$name.png"
done
convert -size 1024x768 xc:black "$images/dead.bmp" -geometry +192+144 -composite "$out/screen_dead.png"

# The sprites, enlarged without smoothing, on a contact sheet: the small
# ones 6x (the missile 16x), the shields 2x, the icon 4x.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
enlarge() { convert "$images/$1.bmp" -filter point -resize "$2" "$tmp/$1.png"; }
enlarge game_m_modified_small 600%
enlarge spartan 600%
enlarge missile 1600%
enlarge shield_blue 200%
enlarge shield_yellow 200%
sheet=("$tmp"/game_m_modified_small.png "$tmp"/spartan.png "$tmp"/missile.png)
if [ -f "$generated/marchfire_128.png" ]; then
  convert "$generated/marchfire_128.png" -background black -flatten "$tmp/icon.png"
  sheet+=("$tmp/icon.png")
fi
montage -background '#202028' "${sheet[@]}" -tile x1 -geometry '+16+16' "$tmp/row1.png"
montage -background '#202028' "$tmp"/shield_blue.png "$tmp"/shield_yellow.png -tile x1 -geometry '+16+16' "$tmp/row2.png"
convert -background '#202028' "$tmp/row1.png" "$tmp/row2.png" -gravity center -append "$out/sprites.png"

# A mock frame of play: the grid of enemies, the shields and the ship, as the
# game lays them out.
args=(-size 1024x768 xc:black)
for row in 0 1 2 3; do
  for col in 0 1 2 3 4 5 6 7; do
    args+=("$images/spartan.bmp" -geometry "+$((337 + col * 60))+$((100 + row * 66))" -composite)
  done
done
args+=("$images/shield_blue.bmp" -geometry +150+600 -composite)
args+=("$images/shield_yellow.bmp" -geometry +650+600 -composite)
args+=("$images/game_m_modified_small.bmp" -geometry +480+704 -composite)
args+=("$images/missile.bmp" -geometry +506+520 -composite)
convert "${args[@]}" "$out/play_mockup.png"

echo "previews in $out:"
ls "$out"
