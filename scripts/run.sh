#!/usr/bin/env bash
# Installs what is missing, builds the program, makes a sample database beside it when
# there is none, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target tinlark tinlark-makedb
if [ ! -e build/bin/Speeches.csp ]; then
  build/bin/tinlark-makedb --sample 2000 --languages 6 build/bin/Speeches.csp
fi
exec build/bin/tinlark
