#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, runs
# every test, then again under AddressSanitizer and UndefinedBehaviorSanitizer
# (ThreadSanitizer: scripts/test-tsan.sh), and cross-builds the programs for Windows against the real
# Windows headers and libraries, packed with their pictures into a ZIP whose listing it checks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DBRANNOWAY_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, which stop at the first fault.
"$root/scripts/build.sh" "$root/build-asan" -DBRANNOWAY_WERROR=ON -DBRANNOWAY_BENCHMARKS=OFF \
  -DBRANNOWAY_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined
(cd "$root/build-asan" && ctest --output-on-failure -j "$(nproc)")
# The Windows programs, with the pictures drawn by this machine's MediaMaker, and their ZIP.
"$root/scripts/build.sh" "$root/build-windows" -DBRANNOWAY_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DBRANNOWAY_MEDIA_MAKER="$root/build/tools/MediaMaker"
(cd "$root/build-windows" && cpack > /dev/null)
zip="$(ls "$root"/build-windows/OperationBrannoway-*-win32.zip)"
cmake -DZIP="$zip" -DMEDIA_DIR="$root/build/game/Media" -P "$root/packaging/check_windows_zip.cmake"
echo "test: all tests passed; Windows programs and their ZIP built in build-windows/"
