#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, runs
# every test, and cross-builds the programs for Windows against the real
# Windows headers and libraries.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DBRANNOWAY_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/build.sh" "$root/build-windows" -DBRANNOWAY_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake"
echo "test: all tests passed; Windows programs built in build-windows/"
