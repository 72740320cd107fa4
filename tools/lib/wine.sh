# The Windows program under Wine, for the run scripts and the end-to-end tests alike: its paths
# in the Windows build, Wine prefixes, and the two Windows environments on X displays.
tools_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$tools_lib/display.sh"
build=${LUMENWEAVE_WINDOWS_BUILD_DIR:-$tools_lib/../../build/windows}
saver=$build/hosts/windows/Lumenweave.scr
test_saver=$build/hosts/windows/Lumenweave-test.scr
# Every Wine process here runs without debug output and without the offers to install .NET and
# a browser engine, whose dialogs would stop an unattended run.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# make_prefix PREFIX DISPLAY: makes the Wine prefix PREFIX on DISPLAY, unless it is made already.
make_prefix() {
    [[ -f $1/system.reg ]] && return 0
    mkdir -p "$1"
    WINEPREFIX=$1 DISPLAY=$2 WINEARCH=win64 timeout 120 wineboot -i >/dev/null 2>&1 ||
        { echo "wine: wineboot failed for $1" >&2; return 1; }
}

# start_wine_displays DIR: the two Windows environments of the tests, each an X display with a
# fresh Wine prefix in DIR, exported as LUMENWEAVE_WINE_DISPLAY1 and LUMENWEAVE_WINE_PREFIX1 (one
# monitor) and LUMENWEAVE_WINE_DISPLAY2 and LUMENWEAVE_WINE_PREFIX2 (two monitors).
start_wine_displays() {
    local dir=$1 display1 outer display2 first status=0
    # One monitor, with the window manager that every desktop has (see start_window_manager).
    start_x_server display1 Xvfb -screen 0 1280x1024x24 -nolisten tcp || return 1
    start_window_manager "$display1" || return 1
    # Two monitors of different sizes side by side. Xvfb alone puts every Xinerama head at 0,0, so
    # they come from Xephyr nested in Xvfb. No window manager here: Wine marks a window covering a
    # monitor as full screen, and a window manager then confines the window of display mode 2,
    # which spans the whole virtual screen, to one monitor (800 x 600 instead of 1440 x 600),
    # which no Windows desktop does.
    start_x_server outer Xvfb -screen 0 1600x800x24 -nolisten tcp || return 1
    start_x_server display2 env DISPLAY="$outer" Xephyr +xinerama -screen 800x600 -origin 800,0 \
        -screen 640x480 -nolisten tcp || return 1
    make_prefix "$dir/prefix1" "$display1" &
    first=$!
    make_prefix "$dir/prefix2" "$display2" || status=1
    wait "$first" || status=1
    ((status == 0)) || return 1
    # Wine's XRandR view of the nested display is one monitor; its Xinerama view has both.
    WINEPREFIX=$dir/prefix2 DISPLAY=$display2 timeout 60 wine reg add \
        'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$dir/prefix2 timeout 20 wineserver -k 2>/dev/null
    export LUMENWEAVE_WINE_DISPLAY1=$display1 LUMENWEAVE_WINE_PREFIX1=$dir/prefix1
    export LUMENWEAVE_WINE_DISPLAY2=$display2 LUMENWEAVE_WINE_PREFIX2=$dir/prefix2
}

# stop_wine_displays DIR: ends the Wine servers of the prefixes in DIR, then the displays.
stop_wine_displays() {
    local prefix
    for prefix in "$1/prefix1" "$1/prefix2"; do
        [[ -d $prefix ]] && WINEPREFIX=$prefix timeout 20 wineserver -k 2>/dev/null
    done
    stop_displays
}

# Chooses the one-monitor (1) or the two-monitor (2) environment.
use_monitors() {
    local display=LUMENWEAVE_WINE_DISPLAY$1 prefix=LUMENWEAVE_WINE_PREFIX$1
    export DISPLAY=${!display} WINEPREFIX=${!prefix}
}
