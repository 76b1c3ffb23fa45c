#!/usr/bin/env bash
# The release of the last commit, in dist/release/<version>/:
#   marchfire_<version>_amd64.deb    the Debian package (Linux program)
#   marchfire-<version>-windows.zip  the Windows program
#   marchfire-<version>-web.zip      the browser build, for a static game host
#   SHA256SUMS                       their checksums
# The version is the one in CMakeLists.txt; each artifact carries it inside,
# and this script stops if any of them says otherwise.
#
# It builds an export of the commit (git archive HEAD), never the working
# tree, so uncommitted changes are left out. The same commit gives the same
# bytes wherever and whenever it is built: every time in an archive is the
# commit's (SOURCE_DATE_EPOCH), no folder's path reaches a file, and every
# archive lists its files in one order.
#
# usage: scripts/release.sh [--out DIR] [--work DIR]
#   --out   where the files go (default: dist/release/<version>)
#   --work  the folder to build in, kept afterwards (default: a temporary
#           folder, removed at the end)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
out="" work=""
while [ "$#" -gt 0 ]; do
  case "$1" in
    --out) out="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) echo "usage: scripts/release.sh [--out DIR] [--work DIR]" >&2; exit 2 ;;
  esac
done
bash scripts/install-deps.sh build assets sdl windows web release

fail() { echo "release: $*" >&2; exit 1; }
version=$(bash scripts/version.sh)
commit=$(git rev-parse --short HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: uncommitted changes are left out: this is the release of $commit" >&2
fi
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
# What the tools write must not hang on the caller's locale, zone or umask.
export LC_ALL=C TZ=UTC
umask 022

out=$(mkdir -p "${out:-dist/release/$version}" && cd "${out:-dist/release/$version}" && pwd)
if [ -z "$work" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/marchfire-release.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
src="$work/marchfire-$version"
rm -rf "$src"
mkdir -p "$src"
git archive --format=tar HEAD | tar -x -C "$src"
cd "$src"
echo "== release $version of $commit, built in $src"
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi

# The Linux program and its package; its asset generator serves the other two.
echo "== the Debian package"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARCHFIRE_TESTS=OFF -DMARCHFIRE_BENCH=OFF >/dev/null
cmake --build build-release -j"$jobs" >/dev/null
cpack --config build-release/CPackConfig.cmake -G DEB -B "$work/deb" >/dev/null
export MARCHFIRE_ASSET_GENERATOR="$src/build-release/tools/marchfire_asset_generator"

echo "== the Windows program"
MARCHFIRE_WINDOWS_BUILD_TYPE=Release bash scripts/package-windows.sh -DMARCHFIRE_WIN32_CHECKS=OFF >/dev/null
echo "== the browser build"
bash scripts/package-web.sh >/dev/null

deb="marchfire_${version}_amd64.deb"
windows="marchfire-$version-windows.zip"
web="marchfire-$version-web.zip"
rm -f "$out/$deb" "$out/$windows" "$out/$web" "$out/SHA256SUMS"
cp "$work/deb/$deb" "$out/" || fail "cpack wrote no $deb: $(ls "$work/deb")"
cp "dist/$windows" "dist/$web" "$out/"

# Each artifact says its version itself: the package's control file, the
# program's version record (UTF-16 strings in its resources), the manifest.
cd "$out"
said=$(dpkg-deb -f "$deb" Version)
[ "$said" = "$version" ] || fail "$deb says version '$said', CMakeLists.txt $version"
record=$(unzip -p "$windows" marchfire/marchfire.exe | strings -e l)
for field in FileVersion ProductVersion; do
  said=$(echo "$record" | grep -A1 -x "$field" | sed -n 2p)
  [ "$said" = "$version" ] || fail "marchfire.exe's $field is '$said', CMakeLists.txt $version"
done
said=$(unzip -p "$web" manifest.webmanifest | python3 -c 'import json, sys; print(json.load(sys.stdin).get("version"))')
[ "$said" = "$version" ] || fail "the web manifest says version '$said', CMakeLists.txt $version"

sha256sum "$deb" "$windows" "$web" >SHA256SUMS
echo "released $version of $commit in $out (built in $SECONDS s):"
cat SHA256SUMS
