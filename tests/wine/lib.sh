# Shared helpers of the end-to-end tests and of the scripts that run the program under Wine: the
# program's paths, the Wine environments on the test displays (tests/lib/display.sh), starting
# and ending the saver, its windows, pictures and message boxes. Every wait is bounded.
# A test_*.sh sources this and calls begin_test "$@" first; a test that overruns fails.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../lib/display.sh"
. "$here/../lib/program.sh"
build=${LUMENWEAVE_WINDOWS_BUILD_DIR:-$here/../../build/windows}
saver=$build/hosts/windows/Lumenweave.scr
test_saver=$build/hosts/windows/Lumenweave-test.scr
wintool_exe=$build/tests/wine/wintool.exe
# Wine starts and ends programs slower than Linux does.
exit_wait=15
running_wait=1

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

# begin_test "$@": skips the test without a Windows build, brings up Windows environments of its
# own when the test runs alone, and gives it the one-monitor environment and a folder $out.
begin_test() {
    if [[ ! -f $saver || ! -f $test_saver || ! -f $wintool_exe ]]; then
        echo "SKIP: no Windows build in $build (run: cmake --preset windows && cmake --build --preset windows)"
        exit 77
    fi
    if [[ -z ${LUMENWEAVE_WINE_DISPLAY1:-} ]]; then
        exec bash "$here/with-wine.sh" bash "$0" "$@"
    fi
    out=$(mktemp -d /tmp/lumenweave-test.XXXXXX)
    trap cleanup EXIT
    use_monitors 1
}

cleanup() {
    end_started
    rm -rf "$out"
}

wintool() { timeout 60 wine "$wintool_exe" "$@" 2>/dev/null | tr -d '\r'; }

# start PROGRAM ARGS...: runs the program in the background; its output goes to $out/stdout.
start() {
    timeout 120 wine "$@" >"$out/stdout" 2>/dev/null &
    pid=$!
    started+=("$pid")
}

# press TITLE KEYS...: sends KEYS to the window titled TITLE, looked up afresh (Wine may replace
# a window's X window when its style changes).
press() {
    local id
    id=$(find_window "$1") || fail "no window \"$1\" to press keys in"
    # Without a window manager (the two-monitor display) X focus alone can leave the window Wine
    # considers active elsewhere, so the window is made the foreground one on the Windows side.
    if ! window_manager_running "$DISPLAY" && [[ $(wintool foreground) != "$1" ]]; then
        wintool activate "$1"
    fi
    shift
    send_keys "$id" "$@"
}

# Whether two pictures show the same frame, allowing for the frame or two by which a clone may
# lag behind the master: compared coarsely, at 1/20 of their size.
same_picture() {
    local difference
    /usr/bin/convert "$1" -resize 32x24\! "$out/small1.png"
    /usr/bin/convert "$2" -resize 32x24\! "$out/small2.png"
    difference=$(compare -metric RMSE "$out/small1.png" "$out/small2.png" null: 2>&1 |
        sed -n 's/.*(\(.*\)).*/\1/p')
    echo "picture difference $difference"
    awk -v d="$difference" 'BEGIN { exit !(d != "" && d < 0.08) }'
}

# Reads the message box captioned CAPTION: expects TEXT, then presses its button and waits for
# the box to go.
expect_box() {
    local caption=$1 text=$2 lines box
    lines=$(wintool pressbox "$caption" 20000)
    grep -qxF "text $text" <<<"$lines" || fail "box \"$caption\": expected \"$text\", got: $lines"
    box=$(grep '^box ' <<<"$lines")
    # A box that has only just opened may miss the press: press again while it stays.
    local attempt
    for attempt in 1 2 3 4 5; do
        sleep 1
        [[ $(wintool boxtext "$caption" 0 | head -1) == "$box" ]] || break
        ((attempt < 5)) || fail "box \"$caption\" did not close"
        wintool pressbox "$caption" 0 "${box#box }" >/dev/null
    done
    pass "box \"$caption\": $text"
}

# Waits up to 15 seconds for exactly COUNT visible windows titled TITLE.
windows_become() {
    local deadline=$((SECONDS + 15))
    while ((SECONDS < deadline)); do
        [[ $(wintool count "$1") == "$2" ]] && return 0
        sleep 0.3
    done
    return 1
}

no_window_titled() {
    [[ $(wintool count "$1") == 0 ]] || fail "a window \"$1\" is open"
}

# Waits up to 15 seconds for the window titled TITLE to have its window's top-left corner and
# its client size as "LEFT TOP WIDTH HEIGHT"; fails with MESSAGE otherwise.
expect_place() {
    local deadline=$((SECONDS + 15))
    while ((SECONDS < deadline)); do
        read_rect "$1"
        [[ "$win_left $win_top $client_w $client_h" == "$2" ]] && { pass "$3"; return; }
        sleep 0.3
    done
    fail "$3: \"$1\" at $win_left,$win_top with a ${client_w}x$client_h client area, not $2"
}

# Parses wintool's rect line into the variables win_left win_top client_w client_h.
read_rect() {
    local line
    line=$(wintool rect "$1" 10000)
    read -r _ win_left win_top _ _ _ client_w client_h _ <<<"$line" ||
        fail "no window \"$1\""
    [[ $line == window* ]] || fail "no window \"$1\": $line"
}
