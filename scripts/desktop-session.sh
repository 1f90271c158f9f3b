# Sourced by the scripts that show the program on a desktop of their own. Makes $work, a folder
# with the portable program of $build and sample speeches, and starts a virtual X server with
# openbox and a session bus (its runtime folder in $work); whatever is started and its pid
# added to pids ends, last first, when the script ends.
work="$(mktemp -d)"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  # The accessibility bus takes its socket away once it notices its session bus is gone.
  for _ in 1 2 3 4 5; do rm -rf "$work" 2>/dev/null && break; sleep 0.5; done
}
trap cleanup EXIT

cp "$build/bin/tinlark" "$build/bin/tinlark-windows.so" "$work/"
"$build/bin/tinlark-makedb" --sample 40 --languages 4 "$work/Speeches.csp" >/dev/null

display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager announces itself on the root window once it manages windows.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
until [ -s "$work/bus" ]; do sleep 0.05; done
DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"
export DBUS_SESSION_BUS_ADDRESS
