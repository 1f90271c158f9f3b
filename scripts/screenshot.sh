#!/usr/bin/env bash
# Makes the README's picture of the main window, docs/main-window.png: the program as a new
# user first sees it (a small sample database, no settings file), started in a virtual X
# server with a window manager, so that the window shows its title bar and icon as on a
# desktop. Fails when the window hides any of the ten record buttons, read through the
# accessibility bus as a screen reader reads them.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]    (defaults: build, docs/main-window.png)
# QT_SCALE_FACTOR and QT_FONT_DPI pass through, for pictures at other scales.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
output="${2:-docs/main-window.png}"
bash scripts/install-deps.sh --docs
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target tinlark tinlark-makedb

# The portable program in a folder of its own with sample speeches, and no settings file, on
# a desktop and a session bus of its own, on which the accessibility bus starts.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
source scripts/desktop-session.sh

"$work/tinlark" &
pids+=($!)
window="$(xdotool search --sync --onlyvisible --name '^The Tinlark$' | head -n 1)"
xdotool windowactivate --sync "$window"
xdotool mousemove 0 0 # off the window: no hint, as before the user moves the mouse

# Every record button shows, as a screen reader finds them once the window is on the bus.
texts=""
for _ in $(seq 100); do
  texts="$(/usr/bin/python3 scripts/atspi_texts.py tinlark 2>/dev/null || true)"
  grep -qP "^tool bar\tSpeeches\t" <<<"$texts" && break
  sleep 0.2
done
hidden=()
for button in First Prior Next Last Insert Delete Edit Post Cancel Refresh; do
  grep -qP "^push button\t$button\t[^\t]*\tshowing$" <<<"$texts" || hidden+=("$button")
done
if [ ${#hidden[@]} -gt 0 ]; then
  echo "screenshot.sh: the window hides record buttons: ${hidden[*]}" >&2
  exit 1
fi
sleep 1 # lets the window paint its last change
import -frame -window "$window" "$output"
echo "wrote $output"
