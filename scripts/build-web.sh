#!/usr/bin/env bash
# Builds the browser version into dist/web/: the page and its scripts, the
# program (marchfire.js + marchfire.wasm), its pictures (pictures.tar.gz), the
# score font with its licence, the app's manifest and icons, and the service
# worker that keeps them all for offline play. Any static file host can serve
# the folder, compressing or not.
#
# The asset generator is first built for this machine in build-web/host-tools/;
# the program is compiled with Emscripten straight from the sources. A
# generator already built for this machine, named by MARCHFIRE_ASSET_GENERATOR,
# is run instead of building one (scripts/release.sh passes its own).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh web

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
tools="build-web/host-tools"
cmake -S tools -B "$tools" -DCMAKE_BUILD_TYPE=Release \
  -DMARCHFIRE_ASSET_GENERATOR="${MARCHFIRE_ASSET_GENERATOR:-}" >/dev/null
cmake --build "$tools" -j"$jobs" --target marchfire_assets >/dev/null

# Debian's Emscripten runs its JavaScript optimizer with the system's node
# modules (node-acorn).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

out="dist/web"
rm -rf "$out"
# Objects are kept between builds; a change of flags starts them afresh.
mkdir -p "$out" build-web
stamp="build-web/flags"

# Only the waits unwind to the browser (host_rest, and the flip's wait for
# the display, host_await_shown): no indirect call leads to one, so
# Asyncify instruments just the functions on the way to them.
# Wasm SIMD (every current browser has it) turns the frame's byte order for
# the canvas about three times faster.
# No folder's path in the program: the same commit gives the same bytes
# wherever it is built.
flags=(-std=c++20 -O2 -msimd128 -Wall -Wextra -I"$root" "-ffile-prefix-map=$root=.")
link_flags=(
  -sASYNCIFY -sASYNCIFY_IMPORTS='["host_rest","host_await_shown"]' -sASYNCIFY_IGNORE_INDIRECT
  -sENVIRONMENT=web -sINITIAL_MEMORY=64MB -sALLOW_MEMORY_GROWTH=0 -sASYNCIFY_STACK_SIZE=16384
  -sEXPORTED_RUNTIME_METHODS='[]' -sFORCE_FILESYSTEM
  --js-library platform/web/page_imports.js
)
sources=(game/*.cpp display/*.cpp assets/*.cpp shell/*.cpp platform/web/*.cpp
         platform/shared/text_blend.cpp platform/shared/file_table.cpp platform/shared/frame_memory.cpp platform/shared/window_classes.cpp "$tools/generated/embedded_assets.cpp")

if [ "$(cat "$stamp" 2>/dev/null)" != "${flags[*]}" ]; then rm -rf build-web/obj; fi
mkdir -p build-web/obj
echo "${flags[*]}" >"$stamp"

# One object per source, compiled two at a time, rebuilt only when older.
# A compile that fails leaves no object behind (the old one would be linked)
# and fails the build.
objects=()
compiles=()
for source in "${sources[@]}"; do
  object="build-web/obj/$(echo "$source" | tr '/' '_').o"
  objects+=("$object")
  if [ ! -f "$object" ] || [ "$source" -nt "$object" ] ||
     [ -n "$(find platform game display assets shell -name '*.h' -newer "$object" -print -quit)" ]; then
    echo "em++ $source"
    rm -f "$object"
    em++ "${flags[@]}" -c "$source" -o "$object" &
    compiles+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  fi
done
for compile in "${compiles[@]}"; do wait "$compile"; done
em++ "${flags[@]}" "${objects[@]}" "${link_flags[@]}" -o "$out/marchfire.js"

cp platform/web/page/*.html platform/web/page/*.css platform/web/page/*.js \
   platform/web/page/*.webmanifest "$out/"
# The app's manifest carries the project's version (CMakeLists.txt).
version=$(bash scripts/version.sh)
sed -i "s/^  \"short_name\": .*/&\n  \"version\": \"$version\",/" "$out/manifest.webmanifest"

# The pictures, 7 MB as they are and mostly flat colour, travel as one gzip
# file that the page inflates itself (DecompressionStream), so that they are
# small on a host that compresses nothing. The same bytes every build.
tar --create --format=ustar --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 \
    --directory "$tools/bin" $(cd "$tools/bin" && ls *.bmp) | gzip -9n >"$out/pictures.tar.gz"

# The score line draws only these characters: the font keeps their glyphs.
pyftsubset /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf --text='SCORE: -0123456789' \
  --name-IDs='*' --drop-tables+=FFTM --output-file="$out/score-font.ttf"
cp /usr/share/doc/fonts-dejavu-core/copyright "$out/score-font-licence.txt"

cp "$tools/generated/marchfire_32.png" "$out/favicon.png"
cp "$tools/generated/marchfire_192.png" "$out/icon-192.png"
cp "$tools/generated/marchfire_512.png" "$out/icon-512.png"
bash scripts/stamp-web-build.sh "$out"
echo "built: $out/ ($(du -sh "$out" | cut -f1))"
