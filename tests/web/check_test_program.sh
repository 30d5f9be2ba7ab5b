#!/usr/bin/env bash
# Test, built for the browser, run by Node.js: it draws its 10000 triangles
# through each toolkit on the layer compiled to WebAssembly and prints the two
# times, each a whole number of milliseconds that cannot be 0.
set -euo pipefail
folder="$1"  # the web build's tools/
out="$(cd "$folder" && timeout 300 node --no-experimental-fetch Test.js)"
if ! printf '%s\n' "$out" | awk 'NR == 1 && $0 != "" { exit 1 } NR > 1 && !($0 ~ /^[0-9]+$/ && $0 > 0) { exit 1 } END { exit NR != 3 }'; then
  echo "check_test_program: Test under Node.js printed:" >&2
  printf '%s\n' "$out" >&2
  exit 1
fi
echo "Test in WebAssembly (Node.js): Wimdows $(printf '%s\n' "$out" | sed -n 2p) ms, BrannowayLib $(printf '%s\n' "$out" | sed -n 3p) ms"
