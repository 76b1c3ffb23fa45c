#!/usr/bin/env bash
# Makes dist/marchfire-<version>-web.zip: the browser build with index.html
# at the archive's root, the form that static game hosts take as an upload.
# The version is the project's (CMakeLists.txt).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
version=$(bash scripts/version.sh)
zip_file="$root/dist/marchfire-$version-web.zip"

# The same build gives the same archive: every entry gets the time of the
# last commit (zip keeps local time, so the zone is fixed), in one order.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 946684800)}
export TZ=UTC
find dist/web -type f -exec touch -d "@$epoch" {} +
rm -f "$zip_file"
(cd dist/web && find . -type f -printf '%P\n' | LC_ALL=C sort | zip -X -q -@ "$zip_file")
echo "packaged: dist/marchfire-$version-web.zip"
unzip -l "$zip_file"
