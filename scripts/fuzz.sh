#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for a bounded time
# (FUZZ_SECONDS per target, 30 by default) from its seed corpus. A target's seeds are made by
# its program <target>_seeds where fuzz/<target>_seeds.cpp exists, and copied from
# fuzz/seeds/<target>/ where that folder exists. Fails when any target finds an input that
# crashes, hangs or trips a sanitizer or a check of its own; that input is kept under
# build-fuzz/findings/<target>/ and belongs in a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."

# The fuzz targets (each defined in fuzz/CMakeLists.txt), one a line: name, or name:max_len
# for a target whose inputs may be longer than FUZZ_MAX_LEN (16384 bytes by default).
targets=(
  fuzz_version
  fuzz_settings
  fuzz_x11_key:256
  fuzz_jet:600000
  fuzz_filter:4096
  fuzz_connection_string:4096
  fuzz_keyword_search:4096
  fuzz_speech_text_search:4096
  fuzz_transfer:4096
)

seconds="${FUZZ_SECONDS:-30}"
default_max_len="${FUZZ_MAX_LEN:-16384}"
jobs="$(nproc)"

names=()
build_targets=()
for entry in "${targets[@]}"; do
  name="${entry%%:*}"
  names+=("$name")
  build_targets+=("$name")
  if [ -f "fuzz/${name}_seeds.cpp" ]; then
    build_targets+=("${name}_seeds")
  fi
done

echo "== Building ${names[*]}"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTINLARK_FUZZ=ON -DTINLARK_WERROR=ON -DTINLARK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target "${build_targets[@]}"

failed=()
summary=()
for entry in "${targets[@]}"; do
  name="${entry%%:*}"
  max_len="$default_max_len"
  if [ "$entry" != "$name" ]; then
    max_len="${entry#*:}"
  fi
  seeds="build-fuzz/seeds/$name"
  corpus="build-fuzz/corpus/$name" # new inputs are kept from run to run; the seeds are made anew
  findings="build-fuzz/findings/$name"
  log="build-fuzz/$name.log"
  rm -rf "$seeds" "$findings"
  mkdir -p "$seeds" "$corpus" "$findings"
  if [ -x "build-fuzz/bin/${name}_seeds" ]; then
    "build-fuzz/bin/${name}_seeds" "$seeds"
  fi
  if [ -d "fuzz/seeds/$name" ]; then
    cp -r "fuzz/seeds/$name/." "$seeds/"
  fi

  echo "== Fuzzing $name for $seconds seconds"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "build-fuzz/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
       -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see $findings/ and $log)"
    failed+=("$name")
    tail -n 40 "$log"
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  summary+=("$name: ${runs:-?} executions in ${seconds} s, $result")
done

echo "== Fuzzing done"
printf '   %s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "== Findings in: ${failed[*]}"
  exit 1
fi
