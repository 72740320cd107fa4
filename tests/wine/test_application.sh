#!/usr/bin/env bash
# Application mode on one monitor: the 640 x 480 master, mirror windows with N, display modes
# 0 and 1 with F, closing a clone, pausing while minimised, and the end when the master closes.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

start "$test_saver"
master=$(find_window "Lumenweave (master)") || fail "no master window"
read_rect "Lumenweave (master)"
[[ "$client_w $client_h" == "640 480" ]] || fail "master client area ${client_w}x$client_h"
home_left=$win_left home_top=$win_top
pass "master window with a 640 x 480 client area"

# N opens clones; each shows the master's picture.
press "Lumenweave (master)" n
clone=$(find_window "Lumenweave (clone)") || fail "N opened no clone"
wintool move "Lumenweave (clone)" 620 40
press "Lumenweave (master)" n
windows_become "Lumenweave (clone)" 2 || fail "a second N did not open a second clone"
wintool move "Lumenweave (clone)" 620 540
sleep 1
clone=$(find_window "Lumenweave (clone)")
is_drawing "$master" || fail "the master does not draw (mean $picture_mean, change $picture_change)"
import -window "$master" "$out/master.png" &
import -window "$clone" "$out/clone.png"
wait $!
same_picture "$out/master.png" "$out/clone.png" || fail "the clone does not show the master's picture"
pass "N opens clones that mirror the master"

# Closing one clone leaves the master and the other clone.
send_keys "$clone" alt+F4
windows_become "Lumenweave (clone)" 1 || fail "closing a clone did not leave one clone"
[[ $(wintool count "Lumenweave (master)") == 1 ]] || fail "closing a clone closed the master"
pass "closing a clone leaves the others"

# F: display mode 1 covers the monitor and closes the clones; N does nothing there; F again
# returns to the 640 x 480 window at its old place.
press "Lumenweave (master)" f
expect_place "Lumenweave (master)" "0 0 1280 1024" "F: display mode 1 covers the monitor"
windows_become "Lumenweave (clone)" 0 || fail "display mode 1 kept clones"
press "Lumenweave (master)" n
sleep 1
[[ $(wintool count "Lumenweave (clone)") == 0 ]] || fail "N opened a clone in display mode 1"
pass "display mode 1 closed the clones; N does nothing there"
press "Lumenweave (master)" f
expect_place "Lumenweave (master)" "$home_left $home_top 640 480" \
    "F again: back to the 640 x 480 window at its old place"

# Minimising pauses every render thread; restoring resumes them.
frames() { grep -c '^frame master' "$out/stdout"; }
wintool minimize "Lumenweave (master)"
sleep 1
paused_at=$(frames)
sleep 1.5
[[ $(frames) -le $((paused_at + 1)) ]] || fail "the master drew while minimised"
wintool restore "Lumenweave (master)"
sleep 1.5
[[ $(frames) -gt $((paused_at + 30)) ]] || fail "restoring did not resume drawing"
pass "minimising pauses drawing, restoring resumes it"

# Closing the master ends the program with 0.
master=$(find_window "Lumenweave (master)")
press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master"
