#!/usr/bin/env bash
# Builds the suite with ThreadSanitizer into build-tsan/ and runs it. Kept out
# of the test command: under ThreadSanitizer the longest scripted runs take
# minutes each. Extra arguments go to ctest (e.g. -R Match).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build-tsan" -DBRANNOWAY_BENCHMARKS=OFF -DBRANNOWAY_SANITIZE=thread
(cd "$root/build-tsan" && ctest --output-on-failure -j "$(nproc)" --timeout 900 "$@")
