#!/usr/bin/env bash
# Builds and runs the benchmarks: the database work (several repetitions, medians) and the
# peak memory of the program after start-up on 10,000 and 1,000,000 speeches.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTINLARK_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench_store tinlark-startup-probe
build-bench/bench/bench_store --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
for size in 10000 1000000; do
  db="build-bench/bench-data/speeches-$size.csp"
  for run in 1 2 3; do
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v build-bench/bench/tinlark-startup-probe "$db" 2>&1 \
      | awk -v size="$size" -v run="$run" '/Maximum resident set size/ {print "peak memory after start-up, " size " speeches, run " run ": " $6 " KB"}'
  done
done
