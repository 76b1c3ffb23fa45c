#!/usr/bin/env bash
# The release is reproducible: the last commit built twice, in two folders of
# other names and depths and minutes apart, gives the same bytes. Where a file
# differs, diffoscope shows how, and the test fails.
#
# usage: tests/release/reproducible.sh [FOLDER]   (default: build-release-test/)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
base="${1:-$root/build-release-test}"
rm -rf "$base"
bash "$root/scripts/release.sh" --out "$base/first" --work "$base/work-1"
bash "$root/scripts/release.sh" --out "$base/second" --work "$base/work-2/one/level/deeper"
rm -rf "$base/work-1" "$base/work-2"
if cmp -s "$base/first/SHA256SUMS" "$base/second/SHA256SUMS"; then
  echo "release: reproducible ($(wc -l <"$base/first/SHA256SUMS") files, the same bytes twice)"
  exit 0
fi
diff "$base/first/SHA256SUMS" "$base/second/SHA256SUMS" || true
for path in "$base"/first/*; do
  file=$(basename "$path")
  if [ "$file" != SHA256SUMS ] && ! cmp -s "$path" "$base/second/$file"; then
    timeout 600 diffoscope --text "$base/$file.diffoscope.txt" \
      "$path" "$base/second/$file" || true
    head -n 200 "$base/$file.diffoscope.txt" 2>/dev/null || true
    echo "release: $file differs between two builds (all of it: $base/$file.diffoscope.txt)"
  fi
done
exit 1
