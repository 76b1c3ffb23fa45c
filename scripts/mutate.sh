#!/usr/bin/env bash
# Mutation testing of the game's rules: see scripts/mutate.py and the list of
# planted faults in scripts/mutants.txt. Takes tens of minutes for the whole
# list; --short runs the faults marked short.
set -euo pipefail
exec python3 "$(dirname "$0")/mutate.py" "$@"
