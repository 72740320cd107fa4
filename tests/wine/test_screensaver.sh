#!/usr/bin/env bash
# "/s": one window over the whole virtual screen that draws until a key, a mouse button or a
# mouse movement of more than 4 pixels after the first movement; small movements are followed.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# Starts the screensaver with the cursor parked at the screen's centre and checks its window.
start_screensaver() {
    xdotool mousemove 640 512
    start "$saver" "$1"
    id=$(find_window "Lumenweave (master)") || fail "$1: no window"
    read_rect "Lumenweave (master)"
    [[ "$win_left $win_top $client_w $client_h" == "0 0 1280 1024" ]] ||
        fail "$1: window at $win_left,$win_top size ${client_w}x$client_h, not the whole screen"
    sleep 1
}

start_screensaver /s
is_drawing "$id" || fail "/s: does not draw (mean $picture_mean, change $picture_change)"
pass "/s: covers the screen and draws (mean $picture_mean)"
send_keys "$id" space
expect_exit 0 "/s ended by a key"

start_screensaver -S
xdotool click 1
expect_exit 0 "/s ended by a mouse button"

start_screensaver /sfoo
xdotool click 3
expect_exit 0 "/s ended by the right mouse button"

# On a desktop the first mouse move of a run is the one the system delivers when the window
# appears under the pointer; it does not end the screensaver, and the user's first long move
# after it does. (A first move of the user's own is tested on the two-monitor display, which has
# no window manager and so no such move.)
start_screensaver /s
expect_running "/s after its window appeared under the pointer"
xdotool mousemove 900 800
expect_exit 0 "/s ended by a long move after the system's first move"

# Steps of up to 4 pixels (horizontal plus vertical) are followed without ending, however far
# they drift in all; the next step of more than 4 pixels ends the screensaver.
start_screensaver /s
for step in $(seq 1 10); do
    xdotool mousemove $((640 + 2 * step)) $((512 + 2 * step))
    sleep 0.05
done
expect_running "/s after moves of 4 pixels each"
xdotool mousemove 665 532
expect_exit 0 "/s ended by a move of 5 pixels"
