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

# start PROGRAM ARGS...: the kit's start_program.
start() { start_program "$@"; }

# A second run of the program beside the one under test, its log in $out/other.log: other_frames
# is how many frames it has drawn, and other_drew N whether it has drawn N.
other_frames() { log=$out/other.log frames_after 0 master; }
other_drew() { (($(other_frames) >= $1)); }

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
# are centred on it within 2 pixels; asked again until then, as a new size takes a frame, which a
# loaded machine can be slow to draw.
expect_centred() {
    await "$4: the figure centred on $2 x $3" centred "$@"
    pass "$4: the figure is centred ($seen)"
}
centred() {
    local left top right bottom
    shot "$1" "$out/centred.png"
    seen=$(python3 "$here/picture.py" box "$out/centred.png" "$2x$3+0+0")
    read -r left top right bottom <<<"$seen"
    [[ $seen != none ]] && (((left + right + 1 - $2) ** 2 <= 16 && (top + bottom + 1 - $3) ** 2 <= 16))
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
