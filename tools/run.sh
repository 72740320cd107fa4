#!/usr/bin/env bash
# Installs what is missing, builds Lumenweave.scr and runs it in application mode under Wine on
# the current X display. Without a display ($DISPLAY unset) it runs on a virtual one, saves what
# the window showed after a few seconds as a PNG, ends the program and says where the PNG is.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Lumenweave
saver=build/windows/hosts/windows/Lumenweave.scr
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix}

if [[ -n ${DISPLAY:-} ]]; then
    [[ -f $WINEPREFIX/system.reg ]] || wineboot -i >/dev/null 2>&1
    exec wine "$saver"
fi

picture=$PWD/build/lumenweave.png
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -screen 0 1280x1024x24 -nolisten tcp -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 display <"$fifo"
rm -f "$fifo"
export DISPLAY=:$display
saver_pid=
finish() {
    [[ -n $saver_pid ]] && kill "$saver_pid" 2>/dev/null
    timeout 20 wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap finish EXIT

[[ -f $WINEPREFIX/system.reg ]] || timeout 120 wineboot -i >/dev/null 2>&1
timeout 120 wine "$saver" &
saver_pid=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Lumenweave \(master\)$' 2>/dev/null | head -1) &&
        [[ -n $window ]] && break
    sleep 0.2
done
[[ -n $window ]] || { echo "Lumenweave opened no window" >&2; exit 1; }
sleep 5
import -window "$window" "$picture"
# Close the window as a user would; the program then ends by itself.
xdotool windowfocus "$window"
sleep 0.3
xdotool key alt+F4
wait "$saver_pid" || true
saver_pid=
echo "Lumenweave ran without a display; what its window showed is in $picture"
