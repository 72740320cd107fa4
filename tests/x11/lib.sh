# Shared helpers of the Linux program's tests, on top of the test displays of tools/lib/display.sh:
# the programs' paths, a private display, starting and ending lumenweave, pictures of its windows.
# Sourced by each test_*.sh; every wait is bounded, and whatever a test starts is ended with it.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../tools/lib/display.sh"
. "$here/../lib/program.sh"
build=${LUMENWEAVE_NATIVE_BUILD_DIR:-$here/../../build/native}
program=$build/hosts/linux/lumenweave
test_program=$build/hosts/linux/lumenweave-test
x11tool=$build/tests/x11/lumenweave-x11tool

# The X11 tests run the program on X11 even from a Wayland session.
unset WAYLAND_DISPLAY

for f in "$program" "$test_program" "$x11tool"; do
    [[ -x $f ]] || { echo "SKIP: no $f (cmake --build --preset native)"; exit 77; }
done

# In the sanitizer build, Mesa's GLX driver is unloaded at exit with allocations of its own still
# held; LeakSanitizer can no longer name the library, so no suppression can match them. Memory
# errors still stop the program; leaks are for the core's tests and the soak to find.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

out=$(mktemp -d /tmp/lumenweave-x11.XXXXXX)
chmod 755 "$out"

cleanup() {
    end_started
    stop_displays
    rm -rf "$out"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# start_display [wm]: a private Xvfb (with openbox given wm); sets DISPLAY and xvfb_pid. More
# Xvfb arguments can come in XVFB_ARGS.
start_display() {
    # shellcheck disable=SC2086
    start_x_server DISPLAY Xvfb -screen 0 1280x1024x24 -nolisten tcp ${XVFB_ARGS:-} ||
        fail "no X display"
    export DISPLAY
    xvfb_pid=${display_pids[-1]}
    [[ ${1:-} != wm ]] || start_window_manager "$DISPLAY" || fail "no window manager"
}

# start PROGRAM ARGS...: runs it in the background, ended with the test at the latest; standard
# output and error go to $out/stdout and $out/stderr. Signals sent to $pid reach the program
# itself (no wrapper between).
start() {
    # Emptied here, not only by the background job, which may open them after the test has read
    # the last program's lines.
    : >"$out/stdout" && : >"$out/stderr"
    "$@" >"$out/stdout" 2>"$out/stderr" &
    pid=$!
    started+=("$pid")
}

# The standard error of the program holds no report of Xlib's own.
expect_no_x_dump() {
    ! grep -qE 'X Error|XIO|fatal IO error' "$out/stderr" || fail "$1: X error report: $(<"$out/stderr")"
}

window_count() { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# Captures window ID (or "root") into FILE.
shot() { timeout 10 import -window "$1" "$2" 2>/dev/null; }

# A script whose figure is one square spinning about the middle of the window.
square_script=$here/centred-square.txt

# expect_centred WINDOW WIDTH HEIGHT WHAT: the lit pixels of WINDOW, a WIDTH x HEIGHT picture,
# are centred on it within 2 pixels; asked again for up to 20 seconds, as a new size takes a
# frame, which a loaded machine can be slow to draw.
expect_centred() {
    local box left top right bottom deadline=$((SECONDS + 20))
    while :; do
        shot "$1" "$out/centred.png"
        box=$(python3 "$here/picture.py" box "$out/centred.png" "$2x$3+0+0")
        read -r left top right bottom <<<"$box"
        [[ $box != none ]] && (((left + right + 1 - $2) ** 2 <= 16 && (top + bottom + 1 - $3) ** 2 <= 16)) &&
            { pass "$4: the figure is centred ($box)"; return; }
        ((SECONDS < deadline)) || fail "$4: the figure is not centred on $2 x $3 (lit box $box)"
        sleep 0.2
    done
}

# log_lines: the number of lines the test build has written to standard output so far, for
# wait_for_line to look past.
log_lines() { wc -l <"$out/stdout"; }

# wait_for_line REGEX WHAT [AFTER]: waits up to 60 s (a bound on a hang: a start under
# AddressSanitizer on a loaded machine takes about a second) for a line of the test build's
# standard output, past its first AFTER lines (0), that matches the extended REGEX, and sets line
# to it.
wait_for_line() {
    local alive deadline=$((SECONDS + 60))
    while :; do
        alive=no
        kill -0 "$pid" 2>/dev/null && alive=yes
        line=$(tail -n +$((${3:-0} + 1)) "$out/stdout" | grep -E -m1 -- "$1") && return
        [[ $alive == yes ]] || fail "$2: the program ended without \"$1\""
        ((SECONDS < deadline)) || fail "$2: no line \"$1\" from the program within 60 s;" \
            "its last lines: $(tail -n 3 "$out/stdout" | paste -sd'|')"
        sleep 0.05
    done
}

# Difference of two pictures of one size, 0 for the same: root mean square over all pixels.
difference() {
    compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}

# expect_drawing WINDOW WHAT: the window is being drawn into (tools/lib/display.sh's check).
expect_drawing() {
    is_drawing "$1" && { pass "$2: draws (mean $picture_mean, change $picture_change)"; return; }
    fail "$2: not drawing within 20 s (mean $picture_mean, change $picture_change)"
}
