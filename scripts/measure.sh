#!/usr/bin/env bash
# Measures the programs as a player would see them, on a private X server:
# the game's screens (frames per second, processor use, animation times) and
# Test's two numbers. Build first (scripts/build.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"  # absolute: the programs run from its game folder
seconds="${2:-3}"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c "
  cd '$build/game' && '$build/tools/GameTimings' $seconds
  '$build/tools/FramePacing' 10
  echo 'Test, three runs (milliseconds: Wimdows, then BrannowayLib):'
  for run in 1 2 3; do '$build/tools/Test' | tr '\n' ' '; echo; done
"
