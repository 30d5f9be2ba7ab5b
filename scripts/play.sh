#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from the folder that holds it and its pictures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start this from a desktop session." >&2
  exit 1
fi

# The game once it exists, else the first program that does.
for program in OperationBrannoway ButtonSample Test; do
  found="$(find "$root/build" -type f -name "$program" -perm -u+x 2>/dev/null | head -n 1)"
  if [ -n "$found" ]; then
    [ "$program" = OperationBrannoway ] || echo "play: the game is not built yet; starting $program instead."
    cd "$(dirname "$found")"
    exec "./$program"
  fi
done
echo "play: no program is built yet: the repository so far holds the Windows layer and its tests (run scripts/test.sh)." >&2
exit 1
