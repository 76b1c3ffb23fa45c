#!/usr/bin/env bash
# Mutation testing of the game's rules: see tools/mutate.py and the list of
# planted faults in tools/mutants.txt. Takes tens of minutes for the whole
# list; --short runs the faults marked short.
set -euo pipefail
exec python3 "$(dirname "$0")/../tools/mutate.py" "$@"
