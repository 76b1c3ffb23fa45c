#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the tools use,
# when they are missing. Each area lists its packages in scripts/packages/*.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$here"/packages/*.txt)
if [ "$#" -gt 0 ]; then lists=(); for l in "$@"; do lists+=("$here/packages/$l.txt"); done; fi
wanted=$(cat "${lists[@]}" | sed 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for p in $wanted; do
  # "package@command": wanted only when the command is not there already
  # (npm comes inside some builds of Node.js that conflict with Debian's npm).
  if [[ "$p" == *@* ]]; then
    if command -v "${p#*@}" >/dev/null 2>&1; then continue; fi
    p="${p%@*}"
  fi
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -eq 0 ]; then exit 0; fi
echo "installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [[ " ${missing[*]} " == *wine* ]]; then $SUDO dpkg --add-architecture i386 2>/dev/null || true; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
