#!/usr/bin/env bash
# Measures how soon the picker is on screen after `tinlark --pick`: handed to a running program,
# and started fresh, against the program's own start-up (its main window on screen). Medians of
# RUNS runs, in a virtual X server with openbox and a session bus of its own.
#   scripts/measure-picker.sh [BUILD_DIR] [RUNS]    (defaults: build, 11)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-11}"
source scripts/desktop-session.sh

now_ms() { echo $(($(date +%s%N) / 1000000)); }
shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
gone() { ! shown "$1"; }
# Starts a command (its pid in last_pid) and puts the milliseconds until a visible window of
# that title shows in elapsed.
time_to_window() {
  local title="$1"
  shift
  local start
  start=$(now_ms)
  "$@" &
  last_pid=$!
  until shown "$title"; do :; done
  elapsed=$(($(now_ms) - start))
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# Ends the program started last and waits until its windows are gone.
end_program() {
  kill "$1"
  wait "$1" 2>/dev/null || true
  until gone "The Tinlark"; do sleep 0.01; done
}

fresh_main=() fresh_pick=() running_pick=()
for ((run = 0; run < runs; run++)); do
  time_to_window "The Tinlark" "$work/tinlark"
  fresh_main+=("$elapsed")
  end_program "$last_pid"
  time_to_window "Pick a speech" "$work/tinlark" --pick
  fresh_pick+=("$elapsed")
  program=$last_pid
  until [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "Pick a speech" ]; do sleep 0.01; done
  xdotool key Escape
  until gone "Pick a speech"; do sleep 0.01; done
  time_to_window "Pick a speech" "$work/tinlark" --pick
  running_pick+=("$elapsed")
  wait "$last_pid" # the second start ends once it has handed over
  end_program "$program"
done
main=$(printf '%s\n' "${fresh_main[@]}" | median)
fresh=$(printf '%s\n' "${fresh_pick[@]}" | median)
running=$(printf '%s\n' "${running_pick[@]}" | median)
echo "medians of $runs runs (ms): program start-up $main, picker started fresh $fresh, picker of a running program $running"
awk -v m="$main" -v f="$fresh" -v r="$running" 'BEGIN {
  printf "picker fresh / start-up = %.2f (target <= 1.20); running: %d ms (target <= 100)\n", f / m, r }'
