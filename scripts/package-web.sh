#!/usr/bin/env bash
# Makes dist/marchfire-web-<version>.zip: the browser build with index.html at
# the archive's root, the form that static game hosts take as an upload. The
# version is the project's (CMakeLists.txt).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh

version=$(sed -n 's/^project(marchfire VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "package-web: no project version in CMakeLists.txt" >&2
  exit 1
fi
zip_file="$root/dist/marchfire-web-$version.zip"

# The same build gives the same archive: every entry gets the time of the
# last commit.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 200001010000.00)
find dist/web -type f -exec touch -t "$stamp" {} +
rm -f "$zip_file"
(cd dist/web && find . -type f -printf '%P\n' | LC_ALL=C sort | zip -X -q -@ "$zip_file")
echo "packaged: dist/marchfire-web-$version.zip"
unzip -l "$zip_file"
