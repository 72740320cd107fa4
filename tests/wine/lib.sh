# Shared helpers of the end-to-end tests of the program under Wine, on top of tools/lib/wine.sh
# (its paths and Windows environments): starting and ending the saver, its windows, pictures and
# message boxes. Every wait is bounded.
# A test_*.sh sources this and calls begin_test "$@" first; a test that overruns fails.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../tools/lib/wine.sh"
. "$here/../lib/program.sh"
wintool_exe=$build/tests/wine/wintool.exe
# Wine starts and ends programs slower than Linux does, and a busy machine three times slower
# still: the bounds of every wait here are generous, since reaching one is a failure anyway.
exit_wait=60
running_wait=1

# begin_test "$@": skips the test without a Windows build, brings up Windows environments of its
# own when the test runs alone, and gives it the one-monitor environment and a folder $out.
begin_test() {
    if [[ ! -f $saver || ! -f $test_saver || ! -f $wintool_exe ]]; then
        echo "SKIP: no Windows build in $build (run: cmake --preset windows && cmake --build --preset windows)"
        exit 77
    fi
    if [[ -z ${LUMENWEAVE_WINE_DISPLAY1:-} ]]; then
        exec bash "$here/../../tools/lib/with-wine.sh" bash "$0" "$@"
    fi
    out=$(mktemp -d /tmp/lumenweave-test.XXXXXX)
    trap cleanup EXIT
    use_monitors 1
}

cleanup() {
    end_started
    rm -rf "$out"
}

# Wine's own complaints, if any, go to $out/wine.err, for failure messages.
wintool() { timeout 180 wine "$wintool_exe" "$@" 2>>"$out/wine.err" | tr -d '\r'; }

# start PROGRAM ARGS...: the kit's start_program, under Wine; Wine's own standard error goes to
# $out/stderr too.
start() { start_program timeout 300 wine "$@"; }

# await_held_frame WHAT WINDOWS AFTER: waits until WINDOWS render threads, the master's among them,
# have each presented the same frame twice in a row after line AFTER: with the animation held
# (LUMENWEAVE_HOLD) the picture every window keeps. Leaves the frame's number in held_frame.
await_held_frame() { await "$1: $2 windows showing one frame" frame_held_by "$2" "$3"; }
frame_held_by() {
    held_frame=$(log_after "$2" | awk -v windows="$1" "$frame_fields"'
        is_frame() && frame_presented() == 1 {
            thread = frame_where()
            if (frame_step() == shown[thread]) { run[thread]++ } else { shown[thread] = frame_step(); run[thread] = 1 }
            if (frame_role() == "master") { master = thread }
        }
        END {
            if (master == "" || run[master] < 2) { exit }
            for (thread in run) { if (shown[thread] == shown[master] && run[thread] >= 2) { n++ } }
            if (n >= windows) { print shown[master] }
        }')
    seen="the log ends: $(log_after "$2" | tail -n 4 | paste -sd'|')"
    [[ -n $held_frame ]]
}

# press TITLE KEYS...: makes the window titled TITLE the foreground one, as a user's click would,
# waits until the Windows side has it so, and types KEYS (xdotool names) through XTEST. The window
# is looked up afresh (Wine may replace a window's X window when its style changes).
press() {
    local title=$1 id seen
    shift
    id=$(find_window "$title" "$wait_bound") || fail "no window \"$title\" to press keys in"
    if window_manager_running "$DISPLAY"; then
        timeout "$wait_bound" xdotool windowactivate --sync "$id" >/dev/null 2>&1
    else
        # Without a window manager X focus alone can leave the window Wine considers active
        # elsewhere, so the window is made the foreground one on the Windows side too.
        xdotool windowfocus "$id" 2>/dev/null
        [[ $(wintool foreground) == "$title" ]] || wintool activate "$title"
    fi
    seen=$(wintool foreground "$title" $((wait_bound * 1000)))
    [[ $seen == "$title" ]] ||
        fail "keys $*: \"$title\" did not become the foreground window (\"$seen\" is)$(tail -3 "$out/wine.err" 2>/dev/null)"
    xdotool key "$@"
}

# expect_drawing WINDOW WHAT: the window shows a picture that is not black and that changes
# (display.sh's is_drawing, with the longer bound); leaves the mean brightness in picture_mean.
expect_drawing() {
    is_drawing "$1" "$wait_bound" ||
        fail "$2: no changing picture within $wait_bound s (mean $picture_mean, change ${picture_change:-none})"
}

# Reads the message box captioned CAPTION: expects TEXT, then presses its button and expects the
# box to go.
expect_box() {
    local caption=$1 text=$2 lines
    lines=$(wintool pressbox "$caption" $((wait_bound * 1000)))
    grep -qxF "text $text" <<<"$lines" || fail "box \"$caption\": expected \"$text\", got: $lines"
    grep -qx closed <<<"$lines" || fail "box \"$caption\" did not close when its button was pressed"
    pass "box \"$caption\": $text"
}

# windows_become TITLE COUNT: waits for exactly COUNT visible windows titled TITLE; false
# otherwise, with the count last seen in windows_seen.
windows_become() {
    windows_seen=$(wintool count "$1" $((wait_bound * 1000)) "$2")
    [[ $windows_seen == "$2" ]]
}

no_window_titled() {
    [[ $(wintool count "$1") == 0 ]] || fail "a window \"$1\" is open"
}

# Waits for the window titled TITLE to have its window's top-left corner and its client size as
# "LEFT TOP WIDTH HEIGHT"; fails with MESSAGE otherwise.
expect_place() {
    await "$3: \"$1\" at $2" placed_at "$1" "$2"
    pass "$3"
}
placed_at() {
    read_rect "$1"
    seen="at $win_left,$win_top with a ${client_w}x$client_h client area"
    [[ "$win_left $win_top $client_w $client_h" == "$2" ]]
}

# Parses wintool's rect line into the variables win_left win_top client_w client_h (the client
# area's size), client_x client_y (its top-left corner on the screen) and iconic.
read_rect() {
    local line
    line=$(wintool rect "$1" $((wait_bound * 1000)))
    read -r _ win_left win_top _ _ _ client_w client_h _ client_x client_y _ _ _ iconic <<<"$line" ||
        fail "no window \"$1\""
    [[ $line == window* ]] || fail "no window \"$1\": $line"
}

# place TITLE LEFT TOP: moves the window titled TITLE (the only one) to LEFT,TOP and waits until
# the X server shows its client area where Windows puts it, so that captures see it there.
place() {
    local id
    read_rect "$1"
    wintool move "$1" "$2" "$3" >/dev/null
    expect_place "$1" "$2 $3 $client_w $client_h" "\"$1\" moved to $2,$3"
    id=$(find_window "$1" "$wait_bound") || fail "no window \"$1\" on the X server"
    await "\"$1\": its X window at $client_x,$client_y" x_window_at "$id" "$client_x,$client_y"
}
x_window_at() {
    seen=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x "," $NF }')
    [[ $seen == "$2" ]]
}
