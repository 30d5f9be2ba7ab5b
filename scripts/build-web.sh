#!/usr/bin/env bash
# Builds the programs for the browser (WebAssembly, with Debian's emscripten)
# into build-web/ (or the folder given), saying what it does in one line a
# step; what the tools write goes to build-web/build-web.log, shown only when
# a step fails. FreeType comes first, from Debian's source package, built
# once into build-web-deps/; the pictures are drawn by the native build's
# MediaMaker (built into build/ when it is missing, alone).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-web}"
[ $# -gt 0 ] && shift
deps="$root/build-web-deps"
media_maker="$root/build/tools/MediaMaker"
mkdir -p "$build"
log="$build/build-web.log"
: > "$log"
step() { echo "build-web: $*"; }
run() {
  if ! "$@" >> "$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "build-web: that step failed; all it wrote is in $log" >&2
    exit 1
  fi
}

if [ ! -x "$media_maker" ]; then
  # What the browser's set-up installs builds the helper, not the tests: a
  # build/ that the test command made keeps them.
  step "building the picture maker (MediaMaker) natively in build/"
  options=()
  [ -f "$root/build/CMakeCache.txt" ] || options=(-DBRANNOWAY_TESTS=OFF -DBRANNOWAY_BENCHMARKS=OFF)
  run cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
  run cmake --build "$root/build" --target MediaMaker
fi

# emcc's tools run on Debian's node with Debian's node modules.
export NODE_PATH=/usr/share/nodejs

freetype="$deps/freetype"
if [ ! -f "$freetype/lib/libfreetype.a" ]; then
  step "downloading FreeType's source from Debian and building it for the browser (once)"
  # apt-get source needs a deb-src line: a sources list of our own for this one
  # call, with its own package lists, leaves the machine's apt as it is.
  apt="$deps/apt"
  mkdir -p "$apt/lists/partial" "$deps/source"
  cat > "$apt/sources.list" <<SOURCES
deb-src http://deb.debian.org/debian bookworm main
SOURCES
  options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null -o "Dir::State::Lists=$apt/lists")
  run apt-get "${options[@]}" update -qq
  # (Its warnings, that the download runs unsandboxed and that the signature
  # of the .dsc is not checked, are about apt-get source itself: the files are
  # checked against the hashes of Debian's signed package lists.)
  (cd "$deps/source" && run apt-get "${options[@]}" source -qq --download-only freetype)
  rm -rf "$deps/source/freetype"
  run dpkg-source -x "$(ls "$deps"/source/freetype_*.dsc)" "$deps/source/freetype"
  # As Debian's library renders, without the optional libraries the programs never use.
  run emcmake cmake -S "$deps/source/freetype" -B "$deps/source/freetype-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS=-pthread -DCMAKE_INSTALL_PREFIX="$freetype" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  run cmake --build "$deps/source/freetype-build" --target install
fi

step "building the programs for the browser in ${build#"$root"/}/"
run emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$freetype" \
  -DCMAKE_FIND_ROOT_PATH="$freetype" -DBRANNOWAY_MEDIA_MAKER="$media_maker" "$@"
run cmake --build "$build" -j "$(nproc)"
