#!/usr/bin/env bash
# Makes the README's picture of the main window, docs/main-window.png: the program with a
# small sample database, started in a virtual X server with a window manager, so that the
# window shows its title bar and icon as on a desktop.
#   scripts/screenshot.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
bash scripts/install-deps.sh --docs
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target tinlark tinlark-makedb

work="$(mktemp -d)"
pids=()
cleanup() {
  # The program first, then the window manager, then the server.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The portable program in a folder of its own, with sample speeches and the window where it
# would open the first time.
cp "$build/bin/tinlark" "$work/"
"$build/bin/tinlark-makedb" --sample 40 --languages 4 "$work/Speeches.csp"
printf '[MainForm]\nL=40\nT=40\nIndex=1\n' > "$work/Tinlark.ini" # English, the second language

display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager announces itself on the root window once it manages windows.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done

"$work/tinlark" &
pids+=($!)
window="$(xdotool search --sync --onlyvisible --name '^The Tinlark$' | head -n 1)"
xdotool windowactivate --sync "$window"
sleep 1 # lets the window paint its last change
import -frame -window "$window" docs/main-window.png
echo "wrote docs/main-window.png"
