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

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

main() {
  local native=() foreign=()
  for p in "${packages[@]}"; do
    if [[ "$p" == *:i386 ]]; then foreign+=("$p"); else native+=("$p"); fi
  done
  install_missing "${native[@]}"
  [ ${#foreign[@]} -gt 0 ] || return 0
  # 32-bit Wine runs only where the kernel runs 32-bit programs: some
  # virtual machines' kernels refuse them (the tests under Wine then run the
  # ZIP's programs built 64-bit).
  if runs_32_bit_programs; then
    install_missing "${foreign[@]}"
  elif ! installed "${foreign[0]}"; then
    echo "setup: this machine's kernel does not run 32-bit programs: ${foreign[*]} left out"
  fi
}

installed() { dpkg-query -W -f='${Status}' "$1" 2> /dev/null | grep -q "install ok installed"; }

# A program of three instructions, assembled for i386 by binutils (build-essential), that ends at once.
runs_32_bit_programs() {
  local probe
  probe="$(mktemp -d "${TMPDIR:-/tmp}/setup-probe.XXXXXX")"
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' > "$probe/exit.s"
  local ran=1
  if as --32 -o "$probe/exit.o" "$probe/exit.s" && ld -m elf_i386 -o "$probe/exit" "$probe/exit.o"; then
    "$probe/exit" 2> /dev/null && ran=0
  fi
  rm -rf "$probe"
  return "$ran"
}

install_missing() {
  local missing=()
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: installing ${missing[*]}"

  # The shipped Windows programs are 32-bit: 32-bit Wine runs them with Debian's i386 libraries.
  for p in "${missing[@]}"; do
    if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
      break
    fi
  done
  # A mirror in the middle of a sync serves lists that fail their check for a
  # little while: asked again, it has usually finished.
  local apt_options=() updated=no flat
  for attempt in 1 2 3; do
    if $sudo apt-get update -qq; then updated=yes; break; fi
    [ "$attempt" -lt 3 ] || break
    echo "setup: the package lists did not download whole; asking again in $((attempt * 15)) s"
    sleep $((attempt * 15))
  done
  if [ "$updated" = no ] && [[ " ${missing[*]}" == *:i386* ]]; then
    # A mirror whose security index for i386 stays out of step with its
    # Release file leaves the i386 libraries a version behind the machine's,
    # which multiarch refuses. The index's own folder, read as a flat
    # repository, gives the same Debian packages (each checked against the
    # index's hashes; the index itself then goes unsigned).
    flat="$(mktemp -d "${TMPDIR:-/tmp}/setup-apt.XXXXXX")"
    trap "rm -rf '$flat'" EXIT  # (the folder's name now: $flat is gone when the script ends)
    { cat /etc/apt/sources.list 2> /dev/null || true
      echo "deb [trusted=yes arch=i386] http://deb.debian.org/debian-security dists/bookworm-security/main/binary-i386/"
    } > "$flat/i386-security.list"
    chmod 755 "$flat" && chmod 644 "$flat/i386-security.list"
    apt_options=(-o "Dir::Etc::SourceList=$flat/i386-security.list")
    echo "setup: reading Debian's i386 security index as a flat repository, as the mirror's signed one is out of step"
    $sudo apt-get "${apt_options[@]}" update -qq 2> /dev/null || true
  fi
  $sudo apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
}

main
