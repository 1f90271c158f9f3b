#!/usr/bin/env bash
# Installs what running needs, builds the program, installs it into run/ in the checkout
# (a folder of its own, which cleaning or deleting the build folder leaves alone), makes a
# sample database there when there is none, and starts it. run/bin can be written, so the
# program keeps its database and settings beside itself: run/bin/Speeches.csp and
# run/bin/Tinlark.ini.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target tinlark tinlark-makedb
cmake --install build --prefix run >/dev/null
if [ ! -e run/bin/Speeches.csp ]; then
  run/bin/tinlark-makedb --sample 2000 --languages 6 run/bin/Speeches.csp
fi
echo "Your speeches: $PWD/run/bin/Speeches.csp; your settings: $PWD/run/bin/Tinlark.ini"
exec run/bin/tinlark
