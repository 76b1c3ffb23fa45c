#!/usr/bin/env bash
# Names a browser build after its contents: DIR/sw.js becomes the service
# worker of platform/web/page/sw.js headed by the list of the build's files
# and a build name made from their bytes. A change to any file changes the
# worker, so browsers fetch the new one, whose cache replaces the old whole.
#
# usage: scripts/stamp-web-build.sh DIR      (scripts/build-web.sh runs it)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"
files=$(cd "$dir" && find . -maxdepth 1 -type f ! -name sw.js -printf '%f\n' | LC_ALL=C sort)
# shellcheck disable=SC2086  # the names are the build's own, without spaces
build=$(cd "$dir" && sha256sum $files | sha256sum | cut -c1-16)
{
  echo "// This build (scripts/stamp-web-build.sh) and its files."
  echo "var build = '$build';"
  printf "var buildFiles = ['./'"
  for file in $files; do printf ", '%s'" "$file"; done
  echo "];"
  cat "$root/platform/web/page/sw.js"
} >"$dir/sw.js.new"
mv "$dir/sw.js.new" "$dir/sw.js"
