#!/bin/sh
# Checks that a Windows program reaches the wrapped imports of user32 and
# gdi32 (platform/windows/wrapped_imports.h) only through the layer: the
# layer's pointer for each is in the program (nm), and no code but the
# layer's own function for it calls the import itself, neither through its
# import pointer nor through the import library's jump (objdump).
#
#   check_wrapped_imports.sh <program.exe> <nm> <objdump> <wrapped_imports.h>
set -eu
program=$1 nm=$2 objdump=$3 list=$4
names=$(sed -n 's/^  X(\([A-Za-z0-9_]*\), [0-9]*).*/\1/p' "$list")
[ -n "$names" ] || { echo "check_wrapped_imports: no imports listed in $list"; exit 1; }
symbols=$("$nm" "$program")
work=$(mktemp -d "${TMPDIR:-/tmp}/wrapped-imports.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$objdump" -d --no-show-raw-insn "$program" > "$work/code"

# The address of a symbol of one of the types whose name matches the pattern, without leading zeros.
address_of() {
  echo "$symbols" | awk -v pattern="$1" -v types="$2" '$2 ~ types && $3 ~ pattern { sub(/^0+/, "", $1); print $1; exit }'
}

failed=0
for name in $names; do
  # x86_64: __wrap___imp_BitBlt, __imp_BitBlt, BitBlt; i686: ___wrap__imp__BitBlt@36, __imp__BitBlt@36, _BitBlt@36.
  wrapped=$(address_of "^_?__wrap___?imp__?${name}(@[0-9]+)?\$" "^[Dd]\$")
  import=$(address_of "^__imp__?${name}(@[0-9]+)?\$" "^[Ii]\$")
  jump=$(address_of "^_?${name}(@[0-9]+)?\$" "^[Tt]\$")
  if [ -z "$wrapped" ]; then
    echo "$program: $name: the layer's pointer __wrap_ is missing: the program calls Windows directly"
    failed=1
    continue
  fi
  [ -n "$import$jump" ] || continue  # the program never reaches Windows' own
  # Every instruction that names the import pointer or the jump, outside the
  # jump itself and the layer's function for the import (by its mangled name).
  layer="8winlayer7windows$((${#name} + 7))Wrapped${name}E"
  direct=$(awk -v import="$import" -v jump="$jump" -v layer="$layer" '
    /^[0-9a-f]+ <.*>:$/ { sub(/^0+/, "", $1); function_at = $1; name = $2; gsub(/[<>:]/, "", name); next }
    /^ +[0-9a-f]+:/ {
      if (function_at == jump || name ~ layer) next
      line = $0
      sub(/^ +[0-9a-f]+:/, "", line)
      while (match(line, /(0x)?[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]+/)) {
        address = substr(line, RSTART, RLENGTH)
        line = substr(line, RSTART + RLENGTH)
        sub(/^0x/, "", address)
        sub(/^0+/, "", address)
        if (address == import || address == jump) { print name ": " $0; break }
      }
    }' "$work/code")
  if [ -n "$direct" ]; then
    echo "$program: $name is called without the layer:"
    echo "$direct"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "$program: every call of $(echo $names | wc -w) wrapped imports goes through the layer"
exit "$failed"
