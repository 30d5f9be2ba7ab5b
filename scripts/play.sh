#!/usr/bin/env bash
# Installs what playing needs, builds the game and its pictures (nothing
# else), and starts it from the folder that holds it and its pictures. A
# build/ that the test command made keeps its tests and benchmarks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
log="$build/play.log"
step() { echo "play: $*"; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start this from a desktop session." >&2
  exit 1
fi

step "checking for what the game needs (a C++ compiler, CMake, SDL2, FreeType, fontconfig, two fonts)"
"$root/scripts/setup.sh" play

# Where the build's output goes, shown only if a step fails.
run() {
  if ! "$@" >> "$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "play: that step failed; all it wrote is in $log" >&2
    exit 1
  fi
}
mkdir -p "$build"
: > "$log"
options=()
[ -f "$build/CMakeCache.txt" ] || options=(-DBRANNOWAY_TESTS=OFF -DBRANNOWAY_BENCHMARKS=OFF)
step "configuring the build in build/"
run cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
step "building the game and drawing its pictures (a few minutes the first time)"
run cmake --build "$build" --target OperationBrannoway Media -j "$(nproc)"

step "starting build/game/OperationBrannoway"
cd "$build/game"
exec ./OperationBrannoway
