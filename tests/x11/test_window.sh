#!/usr/bin/env bash
# Window mode with a window manager: the window draws, N opens a clone that shows the master's
# frame, the window manager's close and Escape end a clone alone, F goes full screen with the
# figure in the middle of the screen, Q on the master ends with 0; minimised, and covered by another
# window, or said hidden in _NET_WM_STATE alone, the window rests at its step with its process
# asleep, and shown again goes on from there;
# --frame-rate 30 and 5 draw about 30 and 5 frames a second, two and twelve steps each, and show
# at a step the picture a run at 60 shows.
source "$(dirname "$0")/lib.sh"

# expect_clone_gone WHAT: WHAT closes every clone, and the program runs on.
no_clone() { [[ $(window_count 'Lumenweave \(clone\)') == 0 ]]; }
expect_clone_gone() {
    await "$1 ending the clone" no_clone
    kill -0 "$pid" 2>/dev/null || fail "$1 on the clone ended the program"
    pass "$1 ends the clone alone"
}

start_display wm

# The test build, whose figure stands still while the file $out/hold exists.
LUMENWEAVE_HOLD=$out/hold start "$test_program" --seed 7 --script "$square_script"
master=$(find_window Lumenweave) || fail "no window titled Lumenweave"
expect_drawing "$master" "window mode"

send_keys "$master" n || fail "N not sent"
clone=$(find_window 'Lumenweave (clone)') || fail "N opened no clone window"
expect_drawing "$clone" "clone"
# Side by side, the figure held: once both windows have presented the held frame, both show it.
timeout 10 xdotool windowmove --sync "$master" 0 0 &&
    timeout 10 xdotool windowmove --sync "$clone" 660 0 || fail "the windows could not be moved"
touch "$out/hold"
await_line "the figure held" '^held master '
master_line=$line
await_line "the figure held in the clone" '^held clone '
shot "$master" "$out/master.png" && shot "$clone" "$out/clone.png" || fail "no capture"
rm "$out/hold"
# The clone's right edge may lie past the screen's: the left 600 columns are compared.
/usr/bin/convert "$out/master.png" -crop 600x480+0+0 +repage "$out/master.png"
/usr/bin/convert "$out/clone.png" -crop 600x480+0+0 +repage "$out/clone.png"
d=$(difference "$out/master.png" "$out/clone.png")
awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.01) }' ||
    fail "the clone shows another picture than the master's frame ${master_line##* } (difference $d)"
pass "the clone shows the master's frame ${master_line##* } (difference $d)"

send_keys "$clone" alt+F4 || fail "alt+F4 not sent"
expect_clone_gone "the window manager's close"

send_keys "$master" f || fail "F not sent"
full_screen() {
    seen=$(timeout 5 xdotool getwindowgeometry "$master" | awk '/Geometry/ { print $2 }')
    [[ $seen == 1280x1024 ]]
}
await "F making the window full screen" full_screen
expect_drawing "$master" "full screen"
expect_centred "$master" 1280 1024 "full screen"

send_keys "$master" n || fail "N not sent"
clone=$(find_window 'Lumenweave (clone)') || fail "N opened no second clone"
send_keys "$clone" Escape || fail "Escape not sent"
expect_clone_gone Escape

send_keys "$master" q || fail "Q not sent"
expect_exit 0 "Q"
expect_no_x_dump "window mode"

# Nothing drawn while nobody can see it. Another run of the program gives a window to cover the
# first with, and its frames measure the spans the first must sleep through.
start "$test_program" --seed 7 --script "$square_script"
master=$(find_window Lumenweave) || fail "rest: no window titled Lumenweave"
"$test_program" --seed 3 >"$out/other.log" 2>&1 &
started+=($!)
other_window() { other=$(xdotool search --onlyvisible --name '^Lumenweave$' 2>/dev/null | grep -vx "$master"); }
await "rest: the other run's window" other_window

# expect_rest WHAT SINCE: past line SINCE the program says it rests at a step, and while the other
# run draws 120 frames it draws none and its threads wake a handful of times at most (drawing, they
# wake several times a frame). Sets rest_step.
expect_rest() {
    local wakes ticks
    await_line "$1: resting" '^paused ' "$2"
    rest_step=${line#paused }
    wakes=$(wake_ups) ticks=$(cpu_ticks)
    await "$1: 120 frames of the other run" other_drew $(($(other_frames) + 120))
    wakes=$(($(wake_ups) - wakes)) ticks=$(($(cpu_ticks) - ticks))
    tail -n +$(($2 + 1)) "$out/stdout" | sed -n '/^paused /,$p' | grep -q '^draw ' &&
        fail "$1: drew on after resting at step $rest_step"
    ((wakes <= 10)) || fail "$1: $wakes wake-ups over 120 frames of the other run"
    pass "$1: rests at step $rest_step ($wakes wake-ups, $ticks CPU ticks over 120 frames of another run)"
}
# expect_resume WHAT SINCE: past line SINCE the program resumes at the step it rested at and
# draws the next.
expect_resume() {
    await_line "$1: resuming" '^resumed ' "$2"
    [[ ${line#resumed } == "$rest_step" ]] || fail "$1: rested at step $rest_step, $line"
    await_line "$1: drawing again" '^draw ' "$2"
    [[ ${line#draw } == $((rest_step + 1)) ]] || fail "$1: rested at step $rest_step, then $line"
    pass "$1: goes on with step $((rest_step + 1))"
}

await_line "rest: drawing" '^draw '
since=$(log_length)
timeout 30 xdotool windowminimize --sync "$master" || fail "the window could not be minimised"
iconic() { xprop -id "$master" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
await "minimised: the window iconic" iconic
expect_rest minimised "$since"
since=$(log_length)
timeout 30 xdotool windowmap --sync "$master" || fail "the window could not be shown again"
expect_resume "shown again" "$since"
# A window manager that keeps minimised windows mapped says so only in _NET_WM_STATE, whose
# HIDDEN may stand anywhere in its list.
since=$(log_length)
"$x11tool" --net-wm-state "$master" _NET_WM_STATE_ABOVE _NET_WM_STATE_HIDDEN _NET_WM_STATE_STICKY ||
    fail "_NET_WM_STATE not set"
expect_rest "hidden among other states" "$since"
since=$(log_length)
"$x11tool" --net-wm-state "$master" _NET_WM_STATE_ABOVE || fail "_NET_WM_STATE not set"
expect_resume "no longer hidden" "$since"

# The other window moved exactly over the first and raised: the first is fully covered.
read -r x y < <(xwininfo -id "$master" | awk '/Absolute upper-left X/ { x = $4 }
    /Absolute upper-left Y/ { y = $4 } END { print x, y }')
since=$(log_length)
timeout 30 xdotool windowmove --sync "$other" "$x" "$y" && timeout 30 xdotool windowraise "$other" ||
    fail "the other window could not be moved over the first"
expect_rest covered "$since"
since=$(log_length)
kill "${started[-1]}"
expect_resume uncovered "$since"
kill -TERM "$pid"
expect_exit 0 "rest: SIGTERM"

# The same animation at 60, 30 and 5 frames a second, held at step 180 (3 s at 60 steps a second).
for rate in 60 30 5; do
    LUMENWEAVE_HOLD_STEP=180 start "$test_program" --seed 7 --frame-rate "$rate"
    window=$(find_window Lumenweave) || fail "--frame-rate $rate: no window"
    await_line "--frame-rate $rate: the animation held at step 180" '^held master 0 180$'
    shot "$window" "$out/step-180-at-$rate.png" || fail "--frame-rate $rate: no capture"
    cp "$out/stdout" "$out/log-at-$rate"
    kill "$pid"
    expect_exit 0 "--frame-rate $rate: a stop signal"
done
[[ $(python3 "$here/picture.py" box "$out/step-180-at-60.png") != none ]] ||
    fail "--frame-rate 60: nothing lit at step 180"
# Below 7.5 frames a second too, each frame takes the steps of its whole gap: a chosen rate is no
# stall (12 steps a frame at 5).
for rate in 30 5; do
    d=$(difference "$out/step-180-at-60.png" "$out/step-180-at-$rate.png")
    awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.01) }' ||
        fail "--frame-rate $rate: step 180 is another picture than at 60 (difference $d)"
    pass "--frame-rate $rate: step 180 is the picture of step 180 at 60 (difference $d)"
    # The master's frames before the hold, past the first half second (the window appearing).
    figures=$(awk -v skip=$((rate / 2)) "$frame_fields"'is_frame() && frame_role() == "master" &&
        frame_step() < 180 && ++n > skip' "$out/log-at-$rate" | pacing_figures "$rate")
    read -r fps steps due period step closest other_rate <<<"$figures"
    gap=$(awk -v r="$rate" 'BEGIN { printf "%.2f", 16.666 * 60 / r }')  # ms, as pacing.hpp has it
    [[ -z $other_rate ]] || fail "--frame-rate $rate: a frame line gives rate $other_rate"
    [[ $period == "$gap" ]] || fail "--frame-rate $rate: frames $period ms apart, not $gap"
    awk -v c="$closest" -v g="$gap" 'BEGIN { exit !(c >= g) }' ||
        fail "--frame-rate $rate: two frames only $closest ms apart"
    awk -v s="$steps" -v d="$due" 'BEGIN { exit !(s - d <= 2 && d - s <= 2) }' ||
        fail "--frame-rate $rate: $steps steps taken in the time of $due"
    pass "--frame-rate $rate: frames $period ms apart ($fps a second), $step steps a frame," \
        "$steps steps in the time of $due"
done
