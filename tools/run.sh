#!/usr/bin/env bash
# Installs what is missing, builds Lumenweave.scr and runs it in application mode under Wine on
# the current X display. Without a display ($DISPLAY unset) it runs on a virtual one, saves what
# the window showed after a few seconds as a PNG, ends the program and says where the PNG is.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Lumenweave
. tools/lib/wine.sh
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix}

if [[ -n ${DISPLAY:-} ]]; then
    make_prefix "$WINEPREFIX" "$DISPLAY"
    exec wine "$saver"
fi

picture=$PWD/build/lumenweave.png
saver_pid=
finish() {
    [[ -n $saver_pid ]] && kill "$saver_pid" 2>/dev/null
    timeout 20 wineserver -k 2>/dev/null || true
    stop_displays
}
trap finish EXIT

# The virtual display is a desktop like any other, window manager included.
start_x_server DISPLAY Xvfb -screen 0 1280x1024x24 -nolisten tcp
export DISPLAY
start_window_manager "$DISPLAY"
make_prefix "$WINEPREFIX" "$DISPLAY"
timeout 120 wine "$saver" &
saver_pid=$!
window=$(find_window "Lumenweave (master)") || { echo "Lumenweave opened no window" >&2; exit 1; }
# The picture once the figure moves, not the window's first black.
is_drawing "$window" 60 || echo "Lumenweave's window shows no changing picture" >&2
import -window "$window" "$picture"
# Close the window as a user would; the program then ends by itself.
send_keys "$window" alt+F4
wait "$saver_pid" || true
saver_pid=
echo "Lumenweave ran without a display; what its window showed is in $picture"
