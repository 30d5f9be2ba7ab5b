#!/usr/bin/env bash
# Installs what the browser build needs, builds the programs for the browser
# and serves them on this machine: open the address it prints (the game is
# "Play"). One line a step; what the tools write is in build-web/build-web.log.
#
#   play-web.sh [port]     (8000 unless given)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8000}"
echo "play-web: checking for what the browser build needs (a C++ compiler, CMake, emscripten, two fonts)"
"$root/scripts/setup.sh" web
"$root/scripts/build-web.sh"
site="$root/build-web/site"
echo "play-web: putting the site together in build-web/site/"
rm -rf "$site"
cmake --install "$root/build-web" --prefix "$site" > /dev/null
echo "play-web: serving it (Ctrl+C stops); the address:"
exec python3 "$root/scripts/serve-web.py" "$site" "$port"
