#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (with AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, then runs each for a time
# budget, starting from its committed corpus.
#   scripts/fuzz.sh [seconds per target, default 600] [target ...]
# New inputs gather in build-fuzz/corpus/<target>; an input that breaks a rule
# or crashes is written to build-fuzz/findings/<target>/ and the script fails.
# Copy the ones worth keeping into fuzz/corpus/<target>/ once they are mended.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bitmap_loader text shapes format)
build="$root/build-fuzz"

"$root/scripts/setup.sh" clang libclang-rt-14-dev
# Only the layer and the targets: the programs above it need a newer clang's C++20 library support.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRANNOWAY_FUZZ=ON \
  -DBRANNOWAY_TESTS=OFF -DBRANNOWAY_BENCHMARKS=OFF -DBRANNOWAY_SANITIZE=fuzzer-no-link,address,undefined \
  -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/findings/$t"
  echo "fuzz: $t for $seconds s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$t/" "$build/corpus/$t" "$root/fuzz/corpus/$t" \
      2> "$build/fuzz-$t.log"; then
    status=1
    echo "fuzz: $t found a fault; see $build/fuzz-$t.log and $build/findings/$t/"
  fi
  grep -E "^stat::|cov:" "$build/fuzz-$t.log" | tail -6
done
exit $status
