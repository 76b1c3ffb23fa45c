#!/usr/bin/env bash
# Builds the Windows program with mingw-w64: first the asset generator for
# this machine (build-host-tools/), then marchfire.exe and its images in
# build-windows/bin/. Installs the cross compiler when it is missing.
#
# usage: scripts/build-windows.sh [CMAKE_OPTION...]
#   The options go to the configuration of build-windows/. A generator already
#   built for this machine, named by MARCHFIRE_ASSET_GENERATOR, is used
#   instead of building one (scripts/release.sh passes its own).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh windows

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
build_type="${MARCHFIRE_WINDOWS_BUILD_TYPE:-Release}"

# The pictures, sounds and icon are made at build time by a program that has
# to run here, so it is built for this machine, not for Windows.
generator="${MARCHFIRE_ASSET_GENERATOR:-}"
if [ -z "$generator" ]; then
  cmake -S tools -B build-host-tools -DCMAKE_BUILD_TYPE=Release
  cmake --build build-host-tools -j"$jobs" --target marchfire_asset_generator
  generator="$root/build-host-tools/marchfire_asset_generator"
fi

cmake -S . -B build-windows \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE="$build_type" \
  -DMARCHFIRE_ASSET_GENERATOR="$generator" "$@"
cmake --build build-windows -j"$jobs"
echo "built: build-windows/bin/marchfire.exe"
