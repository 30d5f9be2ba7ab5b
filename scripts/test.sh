#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, runs
# every test, then again under AddressSanitizer and UndefinedBehaviorSanitizer
# (ThreadSanitizer: scripts/test-tsan.sh), and cross-builds the programs for Windows against the real
# Windows headers and libraries.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DBRANNOWAY_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, which stop at the first fault.
"$root/scripts/build.sh" "$root/build-asan" -DBRANNOWAY_WERROR=ON -DBRANNOWAY_BENCHMARKS=OFF \
  -DBRANNOWAY_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined
(cd "$root/build-asan" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/build.sh" "$root/build-windows" -DBRANNOWAY_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake"
echo "test: all tests passed; Windows programs built in build-windows/"
