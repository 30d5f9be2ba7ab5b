#!/usr/bin/env bash
# Installs what a purpose needs on Debian 12, asking apt-get only for the
# packages that are missing:
#
#   setup.sh [play|web|test] [package...]
#
#   play  build the game and play it on this desktop (scripts/play.sh)
#   web   build the programs for the browser and serve them (scripts/play-web.sh)
#   test  everything: the Windows cross-build and Wine (32- and 64-bit), the
#         browser tests, the packaging checks (the default)
#
# Further packages that one script needs (the fuzzing's clang) may follow.
set -euo pipefail

purpose=test
case "${1:-}" in
  play | web | test) purpose="$1"; shift ;;
esac

play=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev libstb-dev
  fonts-liberation fonts-comic-neue
)
# The native build draws the pictures (MediaMaker); emscripten compiles the
# programs, dpkg-dev unpacks FreeType's source for it.
web=("${play[@]}" emscripten dpkg-dev)
test=(
  "${web[@]}" git
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  xvfb xdotool x11-apps
  desktop-file-utils appstream lintian
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386
  chromium chromium-driver python3-selenium
)
declare -n chosen="$purpose"
packages=("${chosen[@]}" "$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# The shipped Windows programs are 32-bit: Wine runs them with Debian's i386 libraries.
for p in "${missing[@]}"; do
  if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    break
  fi
done
# A mirror in the middle of a sync serves lists that fail their check for a
# little while: asked again, it has finished.
for attempt in 1 2 3 4; do
  $sudo apt-get update -qq && break
  [ "$attempt" -lt 4 ] || exit 1
  echo "setup: the package lists did not download whole; asking again in $((attempt * 15)) s"
  sleep $((attempt * 15))
done
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
