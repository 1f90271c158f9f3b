#!/usr/bin/env bash
# Counts the instructions each of the two windows of bench_startup runs until its first frame
# is painted, under callgrind: the same count at every run whatever else the machine does.
# usage: bench/startup-instructions.sh BUILD_DIR DATABASE   (a display must be open)
set -euo pipefail
build="$(cd "$1" && pwd)"
database="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$build/bin/tinlark" "$build/bin/tinlark-windows.so" "$work/"
ln -s "$database" "$work/Speeches.csp"
# The day's backup counts as made, as in the benchmark.
mkdir "$work/backups" && touch "$work/backups/Speeches-$(date +%F).csp"
count() {
  (cd "$work" && TINLARK_REPORT_SHOWN=quit valgrind --tool=callgrind --dump-before='*reportShown*' \
     --callgrind-out-file="$work/$1" "$2" >/dev/null 2>&1)
  sed -n 's/^summary: //p;s/^totals: //p' "$work/$1.1" | head -n 1
}
program="$(count program "$work/tinlark")"
minimal="$(count minimal "$build/bench/tinlark-minimal-window")"
echo "program $program minimal $minimal ratio $(awk -v p="$program" -v m="$minimal" 'BEGIN { printf "%.3f", p / m }')"
