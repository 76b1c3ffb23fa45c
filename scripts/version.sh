#!/usr/bin/env bash
# Prints the project's version: the one in CMakeLists.txt's project(), which
# every package and the programs themselves carry.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
version=$(sed -n 's/^project(marchfire VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
if [ -z "$version" ]; then
  echo "no project version in $root/CMakeLists.txt" >&2
  exit 1
fi
echo "$version"
