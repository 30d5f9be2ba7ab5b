#!/usr/bin/env bash
# Installs whatever the build, the programs and the tests need on Debian 12,
# asking apt-get only when a package is missing. Further packages that one
# script needs (the fuzzing's clang) may be named as arguments.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libfreetype-dev libfontconfig-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  fonts-liberation fonts-comic-neue
  xvfb xdotool x11-apps
  desktop-file-utils appstream lintian
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
  emscripten dpkg-dev chromium chromium-driver python3-selenium
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
