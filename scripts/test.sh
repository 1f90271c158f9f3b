#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test
# twice: once plainly and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"

echo "== Plain build"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs") | tee build-test/ctest.log

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTINLARK_WERROR=ON -DTINLARK_SANITIZE=ON -DTINLARK_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
# LeakSanitizer's own tracer now and then crashes at exit while the toolkit's threads wind
# down ("Tracer caught signal 11", "LeakSanitizer has encountered a fatal error"): a test that
# fails is run once more, and a fault it really finds fails both times.
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   ctest --output-on-failure --repeat until-pass:2 -j"$jobs") | tee build-asan/ctest.log

echo "== Fuzzing"
bash scripts/fuzz.sh

# One closing line for both runs together.
count() { sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1; }
read -r failed_plain total_plain < <(count build-test/ctest.log)
read -r failed_asan total_asan < <(count build-asan/ctest.log)
failed=$((failed_plain + failed_asan))
echo "tests: $((total_plain + total_asan - failed)) passed, $failed failed"
