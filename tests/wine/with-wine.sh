#!/usr/bin/env bash
# Runs a command inside a throw-away Windows environment for the end-to-end tests: a one-monitor
# X display (Xvfb) and a two-monitor one (Xephyr with Xinerama, nested on Xvfb), each with a
# fresh Wine prefix. Everything started here is ended when the command finishes.
#   bash tests/wine/with-wine.sh ctest --preset native -L wine
set -uo pipefail

work=$(mktemp -d /tmp/lumenweave-wine.XXXXXX)
pids=()

teardown() {
    for prefix in "$work/prefix1" "$work/prefix2"; do
        [[ -d $prefix ]] && WINEPREFIX=$prefix timeout 20 wineserver -k 2>/dev/null
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$work"
}
trap teardown EXIT
trap 'exit 130' INT TERM

# start_x VARIABLE SERVER ARGS...: starts an X server on a free display number and stores that
# number in VARIABLE. It runs in this shell, not in a command substitution, so that the server's
# pid reaches the list that the teardown ends.
start_x() {
    local variable=$1 fifo=$work/displayfd.$RANDOM display
    shift
    mkfifo "$fifo"
    "$@" -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 20 display <"$fifo"
    rm -f "$fifo"
    [[ -n $display ]] || { echo "with-wine: cannot start $1" >&2; exit 1; }
    printf -v "$variable" %s "$display"
}

make_prefix() {
    local prefix=$1 display=$2
    mkdir -p "$prefix"
    WINEPREFIX=$prefix DISPLAY=:$display timeout 120 wineboot -i >/dev/null 2>&1 ||
        { echo "with-wine: wineboot failed" >&2; exit 1; }
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

# The one-monitor display.
start_x display1 Xvfb -screen 0 1280x1024x24 -nolisten tcp
# Xvfb alone puts every Xinerama head at 0,0, so the two monitors come from Xephyr.
start_x outer Xvfb -screen 0 1600x800x24 -nolisten tcp
fifo=$work/displayfd.xephyr
mkfifo "$fifo"
DISPLAY=:$outer Xephyr +xinerama -screen 800x600 -origin 800,0 -screen 640x480 -nolisten tcp \
    -displayfd 5 5>"$fifo" >/dev/null 2>&1 &
pids+=($!)
read -r -t 20 display2 <"$fifo" || { echo "with-wine: cannot start Xephyr" >&2; exit 1; }
rm -f "$fifo"

make_prefix "$work/prefix1" "$display1" &
first=$!
make_prefix "$work/prefix2" "$display2"
wait $first || exit 1
WINEPREFIX=$work/prefix2 DISPLAY=:$display2 \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
WINEPREFIX=$work/prefix2 timeout 20 wineserver -k 2>/dev/null

export LUMENWEAVE_WINE_DISPLAY1=:$display1 LUMENWEAVE_WINE_PREFIX1=$work/prefix1
export LUMENWEAVE_WINE_DISPLAY2=:$display2 LUMENWEAVE_WINE_PREFIX2=$work/prefix2
"$@"
