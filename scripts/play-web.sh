#!/usr/bin/env bash
# Builds the browser version and serves it on this machine; open the address
# it prints in a browser. Ctrl+C stops the server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/build-web.sh
port="${MARCHFIRE_WEB_PORT:-8080}"
echo "marchfire: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory dist/web
