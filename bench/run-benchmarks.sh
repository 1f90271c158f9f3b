#!/usr/bin/env bash
# Builds and runs the benchmarks: the database work (several repetitions, medians), start-up
# beside the least Qt window of the same shape (medians of five), and the peak memory of the
# program after start-up on 10,000 and 1,000,000 speeches. The sample of 10,000,000 speeches
# (6.3 GB with its indexes, most of an hour to make on two cores) is kept in
# TINLARK_BENCH_CACHE (~/.cache/tinlark-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTINLARK_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench_store bench_startup
build-bench/bench/bench_store --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
# Without a session bus each start of the program would launch one (dbus-launch), which no
# desktop pays: the start-up benchmark gets a bus of its own then.
session=()
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
  session=(dbus-run-session --)
fi
QT_QPA_PLATFORM=offscreen "${session[@]}" build-bench/bench/bench_startup --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true
# TINLARK_BENCH_SERVER may name a server database holding the library of 1,000,000 speeches
# (tinlark-makedb --copy build-bench/bench-data/speeches-1000000.csp URI): the program's peak
# memory on it is measured too (the program's own, not the server's).
probes=("10000 speeches:build-bench/bench-data/speeches-10000.csp"
        "1000000 speeches:build-bench/bench-data/speeches-1000000.csp")
if [[ -n "${TINLARK_BENCH_SERVER:-}" ]]; then
  probes+=("1000000 speeches on the server:$TINLARK_BENCH_SERVER")
fi
for probe in "${probes[@]}"; do
  name="${probe%%:*}"
  db="${probe#*:}"
  for run in 1 2 3; do
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v build-bench/bench/tinlark-startup-probe "$db" 2>&1 \
      | awk -v name="$name" -v run="$run" '/Maximum resident set size/ {print "peak memory after start-up, " name ", run " run ": " $6 " KB"}'
  done
done
