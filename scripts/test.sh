#!/usr/bin/env bash
# Installs what is missing, cross-builds the programs for Windows against the
# real Windows headers and libraries (32-bit, packed with their pictures into
# a ZIP whose listing and notices it checks; 64-bit, for the tests under Wine) and checks
# that every Windows program goes through the layer's wrappers, builds them
# for the browser (WebAssembly), builds everything with warnings as errors,
# runs every test (the ZIP's programs and the 64-bit ones under Wine among them), plays the
# browser's pages in headless Chromium, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer (ThreadSanitizer: scripts/test-tsan.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DBRANNOWAY_WERROR=ON -DBRANNOWAY_TESTS=ON -DBRANNOWAY_BENCHMARKS=ON \
  -DBRANNOWAY_WINE_PROGRAMS="$root/build-windows-x64" -DBRANNOWAY_WINE_ZIP_FOLDER="$root/build-windows"

# The Windows programs, with the pictures drawn by this machine's MediaMaker.
for arch in i686 x86_64; do
  folder="$root/build-windows"
  [ "$arch" = x86_64 ] && folder="$root/build-windows-x64"
  "$root/scripts/build.sh" "$folder" -DBRANNOWAY_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DBRANNOWAY_MEDIA_MAKER="$root/build/tools/MediaMaker"
  for program in game/OperationBrannoway.exe tools/ButtonSample.exe tools/Test.exe; do
    "$root/tests/windows/check_wrapped_imports.sh" "$folder/$program" "$arch-w64-mingw32-nm" "$arch-w64-mingw32-objdump" \
      "$root/platform/windows/wrapped_imports.h"
  done
done
(cd "$root/build-windows" && cpack > /dev/null)
(cd "$root/build-windows-x64" && cpack > /dev/null)  # the same ZIP built 64-bit, for a machine without 32-bit Wine
zip="$(ls "$root"/build-windows/OperationBrannoway-*-win32.zip)"
cmake -DZIP="$zip" -DMEDIA_DIR="$root/build/game/Media" -DOBJDUMP=i686-w64-mingw32-objdump \
  -P "$root/packaging/check_windows_zip.cmake"

# The programs for the browser, as a site.
"$root/scripts/build-web.sh" "$root/build-web" -DBRANNOWAY_WERROR=ON
rm -rf "$root/build-web/site"
cmake --install "$root/build-web" --prefix "$root/build-web/site" > /dev/null
cmake -DARTIFACT=web -DFILE="$root/build-web/site/NOTICES.txt" -P "$root/packaging/notices/check_notices.cmake"
# The site as a ZIP, to unpack onto any static host.
rm -f "$root"/build-web/OperationBrannoway-*-web.zip
(cd "$root/build-web" && cpack > /dev/null)
cmake -DZIP="$(ls "$root"/build-web/OperationBrannoway-*-web.zip)" -DSITE="$root/build-web/site" \
  -P "$root/packaging/web/check_web_zip.cmake"

(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
# The browser's pages played in headless Chromium, compared with the native frames.
/usr/bin/python3 "$root/tests/web/browser_test.py" "$root/build-web" "$root/build"
# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, which stop at the first fault.
"$root/scripts/build.sh" "$root/build-asan" -DBRANNOWAY_WERROR=ON -DBRANNOWAY_BENCHMARKS=OFF \
  -DBRANNOWAY_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined
(cd "$root/build-asan" && ctest --output-on-failure -j "$(nproc)")
echo "test: all tests passed; the web site's ZIP built in build-web/; Windows programs and their ZIP built in build-windows/, the ZIP's programs (32-bit where this machine runs 32-bit Wine) and a 64-bit build checked under Wine"
