#!/usr/bin/env bash
# Installs what is missing, builds the programs for the browser and serves
# them on this machine: open the address it prints (the game is "Play").
#
#   play-web.sh [port]     (8000 unless given)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8000}"
"$root/scripts/setup.sh" web
"$root/scripts/build-web.sh" > /dev/null
site="$root/build-web/site"
rm -rf "$site"
cmake --install "$root/build-web" --prefix "$site" > /dev/null
echo "play-web: serving $site (Ctrl+C stops it)"
exec python3 "$root/scripts/serve-web.py" "$site" "$port"
