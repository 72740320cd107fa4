# Shared helpers of the end-to-end tests: where the programs are, starting and ending the saver
# under Wine, finding its windows, sending X input, reading pictures and message boxes.
# Sourced by each test_*.sh; every wait is bounded and a test that overruns fails.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${LUMENWEAVE_WINDOWS_BUILD_DIR:-$here/../../build/windows}
saver=$build/hosts/windows/Lumenweave.scr
test_saver=$build/hosts/windows/Lumenweave-test.scr
wintool_exe=$build/tests/wine/wintool.exe

if [[ ! -f $saver || ! -f $test_saver || ! -f $wintool_exe ]]; then
    echo "SKIP: no Windows build in $build (run: cmake --preset windows && cmake --build --preset windows)"
    exit 77
fi
# Run alone, a test brings up a Windows environment of its own.
if [[ -z ${LUMENWEAVE_WINE_DISPLAY1:-} ]]; then
    exec bash "$here/with-wine.sh" bash "$0" "$@"
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp -d /tmp/lumenweave-test.XXXXXX)
saver_pid=

fail() {
    echo "FAIL: $*"
    exit 1
}
pass() { echo "ok: $*"; }

cleanup() {
    if [[ -n $saver_pid ]] && kill -0 "$saver_pid" 2>/dev/null; then
        kill "$saver_pid" 2>/dev/null
        wait "$saver_pid" 2>/dev/null
    fi
    rm -rf "$out"
}
trap cleanup EXIT

# Chooses the one-monitor (1) or the two-monitor (2) environment.
use_monitors() {
    local display=LUMENWEAVE_WINE_DISPLAY$1 prefix=LUMENWEAVE_WINE_PREFIX$1
    export DISPLAY=${!display} WINEPREFIX=${!prefix}
}
use_monitors 1

wintool() { timeout 60 wine "$wintool_exe" "$@" 2>/dev/null | tr -d '\r'; }

# start PROGRAM ARGS...: runs the program in the background; its output goes to $out/stdout.
start() {
    timeout 120 wine "$@" >"$out/stdout" 2>/dev/null &
    saver_pid=$!
}

# Waits up to SECONDS for the program to end and sets exit_code ("running" if it did not).
exit_code_within() {
    local deadline=$((SECONDS + $1))
    exit_code=running
    while ((SECONDS < deadline)); do
        if ! kill -0 "$saver_pid" 2>/dev/null; then
            wait "$saver_pid"
            exit_code=$?
            saver_pid=
            return
        fi
        sleep 0.2
    done
}

expect_exit() {
    exit_code_within "${3:-15}"
    [[ $exit_code == "$1" ]] || fail "$2: exit code $exit_code, expected $1"
    pass "$2: exit code $1"
}

expect_running() {
    sleep "${2:-1}"
    kill -0 "$saver_pid" 2>/dev/null || fail "$1: the program ended"
    pass "$1: still running"
}

# Prints the X window id of the window titled exactly TITLE, waiting up to 20 seconds.
window_id() {
    local id deadline=$((SECONDS + 20)) pattern
    pattern=$(sed 's/[][()|.*+?^$\\]/\\&/g' <<<"$1")
    while ((SECONDS < deadline)); do
        id=$(xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null | head -1)
        [[ -n $id ]] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# Focuses the window and sends keys to it through XTEST.
keys_to() {
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.3
    shift
    xdotool key "$@"
}

# Sends keys to the window titled TITLE, looked up afresh (Wine may replace a window's X window
# when its style changes) and made the foreground window first if it is not.
press() {
    local id
    id=$(window_id "$1") || fail "no window \"$1\" to press keys in"
    [[ $(wintool foreground) == "$1" ]] || wintool activate "$1"
    shift
    keys_to "$id" "$@"
}

# Mean brightness of a window's client area, 0 for black, after capturing it to FILE.
brightness() {
    import -window "$1" "$2" 2>/dev/null || { echo 0; return; }
    identify -format '%[fx:mean]' "$2"
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
