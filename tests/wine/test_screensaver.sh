#!/usr/bin/env bash
# "/s": one window over the whole virtual screen that draws until a key, a mouse button or a
# mouse movement of more than 4 pixels after the first movement; small movements are followed.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# start_screensaver PROGRAM ARGUMENT: starts the screensaver with the cursor parked at the
# screen's centre and checks its window. On a desktop the first mouse move of a run is the one
# the system delivers when the window appears under the pointer; the test build says when it has
# checked that move (and found it no reason to end), after which the window takes the pointer.
start_screensaver() {
    xdotool mousemove 640 512
    start "$1" "$2"
    id=$(find_window "Lumenweave (master)" "$wait_bound") || fail "$2: no window"
    read_rect "Lumenweave (master)"
    [[ "$win_left $win_top $client_w $client_h" == "0 0 1280 1024" ]] ||
        fail "$2: window at $win_left,$win_top size ${client_w}x$client_h, not the whole screen"
    if [[ $1 == "$test_saver" ]]; then
        await_line "$2: the system's first mouse move" '^mouse 640 512 '
        [[ $line == *"allow_close 0 post_close 0" ]] || fail "$2: the first move: $line"
    fi
}

start_screensaver "$saver" /s
expect_drawing "$id" "/s"
pass "/s: covers the screen and draws (mean $picture_mean)"
press "Lumenweave (master)" space
expect_exit 0 "/s ended by a key"

start_screensaver "$test_saver" -S
xdotool click 1
expect_exit 0 "/s ended by a mouse button"

start_screensaver "$test_saver" /sfoo
xdotool click 3
expect_exit 0 "/s ended by the right mouse button"

# The system's first move does not end the screensaver, and the user's first long move after it
# does. (That a user's own first move only arms the close, however long, is the mouse check's
# unit test: the window always appears under the pointer.)
start_screensaver "$test_saver" /s
expect_running "/s after its window appeared under the pointer"
xdotool mousemove 900 800
expect_exit 0 "/s ended by a long move after the system's first move"

# Steps of up to 4 pixels (horizontal plus vertical) are followed without ending, however far
# they drift in all; the next step of more than 4 pixels ends the screensaver. The program reads
# the cursor when it handles a move, so each step waits until the program has checked it: two
# steps seen as one would be a move of 8 pixels.
start_screensaver "$test_saver" /s
for step in $(seq 1 10); do
    x=$((640 + 2 * step)) y=$((512 + 2 * step)) from=$(log_length)
    xdotool mousemove "$x" "$y"
    await_line "/s: the move to $x,$y" "^mouse $x $y " "$from"
    [[ $line == *"post_close 0" ]] || fail "/s: a move of 4 pixels to $x,$y ends the run: $line"
done
expect_running "/s after moves of 4 pixels each"
xdotool mousemove 663 534
expect_exit 0 "/s ended by a diagonal move of 3+2 pixels"
