# Shared helpers of the Linux program's tests: a private X display (Xvfb, optionally with openbox),
# finding windows, pictures of them, and starting and ending lumenweave. Sourced by each test_*.sh;
# every wait is bounded, and whatever a test starts is ended with it.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${LUMENWEAVE_NATIVE_BUILD_DIR:-$here/../../build/native}
program=$build/hosts/x11/lumenweave
test_program=$build/hosts/x11/lumenweave-test
x11tool=$build/tests/x11/lumenweave-x11tool

for f in "$program" "$test_program" "$x11tool"; do
    [[ -x $f ]] || { echo "SKIP: no $f (cmake --build --preset native)"; exit 77; }
done

out=$(mktemp -d /tmp/lumenweave-x11.XXXXXX)
chmod 755 "$out"
started=()  # pids this test started, ended in reverse order at exit
pid=        # the lumenweave under test

fail() {
    echo "FAIL: $*"
    exit 1
}
pass() { echo "ok: $*"; }

cleanup() {
    local i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        if kill -0 "${started[i]}" 2>/dev/null; then
            kill "${started[i]}" 2>/dev/null
            timeout 5 tail --pid="${started[i]}" -f /dev/null 2>/dev/null
        fi
    done
    rm -rf "$out"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# start_display [WM]: starts Xvfb on a free display number (and openbox with WM=wm); sets
# DISPLAY and xvfb_pid. Extra Xvfb arguments can come in XVFB_ARGS.
start_display() {
    local fifo=$out/displayfd number
    mkfifo "$fifo"
    # shellcheck disable=SC2086
    Xvfb -screen 0 1280x1024x24 -nolisten tcp ${XVFB_ARGS:-} -displayfd 3 3>"$fifo" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    started+=("$xvfb_pid")
    read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
    rm -f "$fifo"
    export DISPLAY=:$number
    if [[ ${1:-} == wm ]]; then
        openbox >/dev/null 2>&1 &
        started+=($!)
        local deadline=$((SECONDS + 10))
        until timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
            ((SECONDS < deadline)) || fail "openbox did not start"
            sleep 0.2
        done
    fi
}

# start PROGRAM ARGS...: runs it in the background, ended with the test at the latest; standard
# output and error go to $out/stdout and $out/stderr. Signals sent to $pid reach the program
# itself (no wrapper between).
start() {
    "$@" >"$out/stdout" 2>"$out/stderr" &
    pid=$!
    started+=("$pid")
}

# Waits up to SECONDS for the program to end and sets exit_code ("running" if it did not).
exit_code_within() {
    local deadline=$((SECONDS + $1))
    exit_code=running
    while ((SECONDS < deadline)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            exit_code=$?
            return
        fi
        sleep 0.05
    done
}

expect_exit() {
    exit_code_within "${3:-10}"
    [[ $exit_code == "$1" ]] || fail "$2: exit code $exit_code, expected $1 ($(<"$out/stderr"))"
    pass "$2: exit code $1"
}

# The standard error of the program holds no report of Xlib's own.
expect_no_x_dump() {
    ! grep -qE 'X Error|XIO|fatal IO error' "$out/stderr" || fail "$1: X error report: $(<"$out/stderr")"
}

# Prints the id of the window titled exactly TITLE, waiting up to 20 seconds.
window_id() {
    local id deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        id=$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [[ -n $id ]] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

window_count() { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# Captures window ID (or "root") into FILE.
shot() { timeout 10 import -window "$1" "$2" 2>/dev/null; }

# Mean brightness of a picture (or of the part GEOMETRY, e.g. 320x240+320+0), 0 for black.
brightness() { /usr/bin/convert "$1" ${2:+-crop "$2"} -format '%[fx:mean]' info: 2>/dev/null; }

# Difference of two pictures of one size, 0 for the same: root mean square over all pixels.
difference() {
    compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}

# Whether window ID is being drawn into: two pictures a second apart are not black and differ.
expect_drawing() {
    local id=$1 what=$2 b1 b2 d
    sleep 0.5
    shot "$id" "$out/draw1.png" || fail "$what: no picture of window $id"
    sleep 1
    shot "$id" "$out/draw2.png" || fail "$what: no picture of window $id"
    b1=$(brightness "$out/draw1.png")
    b2=$(brightness "$out/draw2.png")
    d=$(difference "$out/draw1.png" "$out/draw2.png")
    awk -v a="$b1" -v b="$b2" -v d="$d" 'BEGIN { exit !(a > 0.0003 && b > 0.0003 && d > 0.001) }' ||
        fail "$what: not drawing (brightness $b1, $b2; difference $d)"
    pass "$what: draws (brightness $b1, $b2; difference $d)"
}
