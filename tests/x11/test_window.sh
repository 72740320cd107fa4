#!/usr/bin/env bash
# Window mode with a window manager: the window draws, N opens a mirror that shows the master's
# frame, the window manager's close and Escape end a mirror alone, F goes full screen with the
# figure in the middle of the screen, Q on the master ends with 0.
source "$(dirname "$0")/lib.sh"

# expect_mirror_gone WHAT: within 30 s WHAT has closed every mirror, and the program runs on.
expect_mirror_gone() {
    local deadline=$((SECONDS + 30))
    until [[ $(window_count 'Lumenweave \(mirror\)') == 0 ]]; do
        ((SECONDS < deadline)) || fail "$1 did not end the mirror within 30 s"
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null || fail "$1 on the mirror ended the program"
    pass "$1 ends the mirror alone"
}

start_display wm

# The test build, whose figure stands still while the file $out/hold exists.
LUMENWEAVE_HOLD_FILE=$out/hold start "$test_program" --seed 7 --script "$square_script"
master=$(find_window Lumenweave) || fail "no window titled Lumenweave"
expect_drawing "$master" "window mode"

send_keys "$master" n || fail "N not sent"
mirror=$(find_window 'Lumenweave (mirror)') || fail "N opened no mirror window"
expect_drawing "$mirror" "mirror"
# Side by side, the figure held: once both windows have presented the held frame, both show it.
timeout 10 xdotool windowmove --sync "$master" 0 0 &&
    timeout 10 xdotool windowmove --sync "$mirror" 660 0 || fail "the windows could not be moved"
touch "$out/hold"
wait_for_line '^held master ' "the figure held"
master_line=$line
wait_for_line '^held mirror ' "the figure held in the mirror"
shot "$master" "$out/master.png" && shot "$mirror" "$out/mirror.png" || fail "no capture"
rm "$out/hold"
# The mirror's right edge may lie past the screen's: the left 600 columns are compared.
/usr/bin/convert "$out/master.png" -crop 600x480+0+0 +repage "$out/master.png"
/usr/bin/convert "$out/mirror.png" -crop 600x480+0+0 +repage "$out/mirror.png"
d=$(difference "$out/master.png" "$out/mirror.png")
awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.01) }' ||
    fail "the mirror shows another picture than the master's frame ${master_line##* } (difference $d)"
pass "the mirror shows the master's frame ${master_line##* } (difference $d)"

send_keys "$mirror" alt+F4 || fail "alt+F4 not sent"
expect_mirror_gone "the window manager's close"

send_keys "$master" f || fail "F not sent"
deadline=$((SECONDS + 30))
until [[ $(timeout 5 xdotool getwindowgeometry "$master" | awk '/Geometry/ { print $2 }') == 1280x1024 ]]; do
    ((SECONDS < deadline)) || fail "F did not make the window full screen within 30 s"
    sleep 0.2
done
expect_drawing "$master" "full screen"
expect_centred "$master" 1280 1024 "full screen"

send_keys "$master" n || fail "N not sent"
mirror=$(find_window 'Lumenweave (mirror)') || fail "N opened no second mirror"
send_keys "$mirror" Escape || fail "Escape not sent"
expect_mirror_gone Escape

send_keys "$master" q || fail "Q not sent"
expect_exit 0 "Q"
expect_no_x_dump "window mode"
