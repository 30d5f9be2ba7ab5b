#!/usr/bin/env bash
# Builds the programs for the browser (WebAssembly, with Debian's emscripten)
# into build-web/ (or the folder given): FreeType first, from Debian's source
# package, built once into build-web-deps/; the pictures are drawn by the
# native build's MediaMaker (built into build/ when it is missing, alone).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-web}"
deps="$root/build-web-deps"
media_maker="$root/build/tools/MediaMaker"
if [ ! -x "$media_maker" ]; then
  # What the browser's set-up installs builds the helper, not the tests: a
  # build/ that the test command made keeps them.
  options=()
  [ -f "$root/build/CMakeCache.txt" ] || options=(-DBRANNOWAY_TESTS=OFF -DBRANNOWAY_BENCHMARKS=OFF)
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" > /dev/null
  cmake --build "$root/build" --target MediaMaker > /dev/null
fi

# emcc's tools run on Debian's node with Debian's node modules.
export NODE_PATH=/usr/share/nodejs

freetype="$deps/freetype"
if [ ! -f "$freetype/lib/libfreetype.a" ]; then
  # apt-get source needs a deb-src line: a sources list of our own for this one
  # call, with its own package lists, leaves the machine's apt as it is.
  apt="$deps/apt"
  mkdir -p "$apt/lists/partial" "$deps/source"
  cat > "$apt/sources.list" <<EOF
deb-src http://deb.debian.org/debian bookworm main
EOF
  options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null -o "Dir::State::Lists=$apt/lists")
  apt-get "${options[@]}" update -qq
  (cd "$deps/source" && apt-get "${options[@]}" source -qq --download-only freetype > /dev/null)
  rm -rf "$deps/source/freetype"
  dpkg-source -x "$(ls "$deps"/source/freetype_*.dsc)" "$deps/source/freetype" > /dev/null
  # As Debian's library renders, without the optional libraries the programs never use.
  emcmake cmake -S "$deps/source/freetype" -B "$deps/source/freetype-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS=-pthread -DCMAKE_INSTALL_PREFIX="$freetype" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON > /dev/null
  cmake --build "$deps/source/freetype-build" --target install > /dev/null
fi

emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$freetype" \
  -DCMAKE_FIND_ROOT_PATH="$freetype" -DBRANNOWAY_MEDIA_MAKER="$media_maker" "$@" > /dev/null
cmake --build "$build" -j "$(nproc)"
