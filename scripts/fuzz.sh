#!/usr/bin/env bash
# Builds the fuzz targets (the version reader; the keyword index) with clang and libFuzzer and runs each
# for a bounded time (FUZZ_SECONDS, 60 by default), the version reader from a seed corpus of sound and broken executables.
# Fails when the fuzzer finds an input that crashes, hangs or trips a sanitizer; that input is
# kept under build-fuzz/findings/ and belongs in a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
jobs="$(nproc)"

echo "== Fuzzing the version reader for ${seconds} seconds"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTINLARK_FUZZ=ON -DTINLARK_WERROR=ON -DTINLARK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_version fuzz_version_seeds fuzz_keyword_search

rm -rf build-fuzz/seeds build-fuzz/findings
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/bin/fuzz_version_seeds build-fuzz/seeds
# New inputs gather in build-fuzz/corpus and are kept from run to run; the seeds are made anew.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/bin/fuzz_version -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus build-fuzz/seeds

echo "== Fuzzing the keyword index against reading every keyword for ${seconds} seconds"
mkdir -p build-fuzz/corpus-keywords
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/bin/fuzz_keyword_search -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus-keywords
