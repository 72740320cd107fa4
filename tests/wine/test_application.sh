#!/usr/bin/env bash
# Application mode on one monitor: the 640 x 480 master, clone windows with N, display modes
# 0 and 1 with F, closing a clone, pausing while minimised, and the end when the master closes.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# The test build holds the animation while $out/hold exists, so that the master and a clone can
# be captured showing the same frame.
LUMENWEAVE_HOLD=$(winepath -w "$out/hold") start "$test_saver"
master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "no master window"
read_rect "Lumenweave (master)"
[[ "$client_w $client_h" == "640 480" ]] || fail "master client area ${client_w}x$client_h"
home_left=$win_left home_top=$win_top
pass "master window with a 640 x 480 client area"

# N opens clones; a clone shows the master's picture: the same frame, pixel for pixel. The clone
# goes below the master, so that neither covers the other.
press "Lumenweave (master)" n
windows_become "Lumenweave (clone)" 1 || fail "N opened no clone ($windows_seen)"
place "Lumenweave (clone)" "$home_left" $((home_top + 520))
clone=$(find_window "Lumenweave (clone)")
expect_drawing "$master" "the master"
held_from=$(log_length)
touch "$out/hold"
await_held_frame "the animation held" 2 "$held_from"
mean=$(brightness "$master" "$out/master.png")
brightness "$clone" "$out/clone.png" >/dev/null
rm "$out/hold"
differing=$(compare -metric AE "$out/master.png" "$out/clone.png" null: 2>&1)
awk -v m="$mean" 'BEGIN { exit !(m > 0.0001) }' || fail "the held frame $held_frame is black"
[[ $differing == 0 ]] ||
    fail "the clone does not show the master's frame $held_frame: $differing pixels differ"
pass "the clone shows the master's frame $held_frame"
press "Lumenweave (master)" n
windows_become "Lumenweave (clone)" 2 || fail "a second N did not open a second clone ($windows_seen)"
pass "N opens clones that replay the master"

# Closing one clone leaves the master and the other clone.
press "Lumenweave (clone)" alt+F4
windows_become "Lumenweave (clone)" 1 || fail "closing a clone did not leave one clone ($windows_seen)"
[[ $(wintool count "Lumenweave (master)") == 1 ]] || fail "closing a clone closed the master"
pass "closing a clone leaves the others"

# F: display mode 1 covers the monitor and closes the clones; N does nothing there; F again
# returns to the 640 x 480 window at its old place.
press "Lumenweave (master)" f
expect_place "Lumenweave (master)" "0 0 1280 1024" "F: display mode 1 covers the monitor"
windows_become "Lumenweave (clone)" 0 || fail "display mode 1 kept clones ($windows_seen)"
key_from=$(log_length)
press "Lumenweave (master)" n
await_line "N in display mode 1" '^key N$' "$key_from"
clones=$(wintool count "Lumenweave (clone)" 0 -1 hidden)
[[ $clones == 0 ]] || fail "N opened $clones clones in display mode 1"
pass "display mode 1 closed the clones; N does nothing there"
press "Lumenweave (master)" f
expect_place "Lumenweave (master)" "$home_left $home_top 640 480" \
    "F again: back to the 640 x 480 window at its old place"

# Minimising pauses every render thread; restoring resumes them. Once the master's thread has
# said it pauses, any frame of it while the window stays minimised is drawing while minimised.
minimised_from=$(log_length)
wintool minimize "Lumenweave (master)"
read_rect "Lumenweave (master)"
[[ $iconic == 1 ]] || fail "the master did not minimise"
await_line "minimising the master" '^paused master ' "$minimised_from"
paused_at=$line_number
sleep 1.5
read_rect "Lumenweave (master)"
[[ $iconic == 1 ]] || fail "the master did not stay minimised"
drawn=$(log_after "$paused_at" | grep -c '^frame master ')
((drawn == 0)) || fail "the master drew $drawn frames while minimised"
restored_from=$(log_length)
wintool restore "Lumenweave (master)"
await_line "restoring the master" '^resumed master ' "$restored_from"
await_frames master 30 "$line_number"
pass "minimising pauses drawing, restoring resumes it"

# Closing the master ends the program with 0.
press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master"
