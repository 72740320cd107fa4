#!/usr/bin/env bash
# --saver --output NAME under headless sway with two outputs: the figure on that output alone, the
# other one showing the desktop as before; as a wallpaper (--layer background) a key, pointer
# moves and a click leave it running, while on the overlay layer a key ends it; an unknown name
# fails with one line naming the outputs; when its output is unplugged a saver ends and a
# wallpaper waits.
source "$(dirname "$0")/lib.sh"
start_compositor
add_sway_output || fail "no output added"

start --saver --output HEADLESS-9
expect_exit 1 "an unknown output"
expected="lumenweave: no such output: HEADLESS-9; the outputs are HEADLESS-1, HEADLESS-2"
[[ $(<"$out/stderr") == "$expected" ]] || fail "an unknown output: said \"$(<"$out/stderr")\""
pass "an unknown output: $expected"

# The pointer exists before the program starts, as a user's does, in the middle of HEADLESS-2:
# this sway draws the cursor into the pictures, and there the figure stands anyway. Then the
# desktop of HEADLESS-1, to compare with while the wallpaper runs on HEADLESS-2.
read -r box_width box_height < <(sway_outputs | awk '{ w = $2 + $4; h = $3 + $5
    if (w > W) W = w; if (h > H) H = h } END { print W, H }')
read -r x y < <(sway_outputs | awk '$1 == "HEADLESS-2" { print $2 + $4 / 2, $3 + $5 / 2 }')
start_input pointer
input_step "place $x $y $box_width $box_height"
shot HEADLESS-1 desktop || fail "no picture of HEADLESS-1"
start --saver --layer background --output HEADLESS-2 --seed 5
expect_figure HEADLESS-2 "a wallpaper on HEADLESS-2"
shot HEADLESS-1 beside || fail "no picture of HEADLESS-1"
difference=$(compare -metric AE "$out/shots/desktop.png" "$out/shots/beside.png" null: 2>&1)
[[ $difference == 0 ]] || fail "HEADLESS-1 changed in $difference pixels beside the wallpaper"
! grep -q HEADLESS-1 <(grep -E '^(frame|surface) ' "$log") || fail "the program drew on HEADLESS-1"
pass "HEADLESS-1 shows the desktop as before, and no surface of the program"

# Input over the wallpaper, one acknowledged step at a time, then frames drawn after it.
input_step "move 40 30"
input_step "click"
stop_input
start_input keyboard
input_step "key space"
stop_input
await_frames HEADLESS-2 2
kill -0 "$pid" 2>/dev/null || fail "the wallpaper ended on input"
! grep -Eq '^(pointer|keyboard) ' "$log" || fail "the wallpaper took input: $(grep -E '^(pointer|keyboard) ' "$log")"
pass "a wallpaper: a pointer move, a click and a key pass it by, and it draws on"
kill -TERM "$pid"
expect_exit 0 "the wallpaper on SIGTERM"

# On the overlay layer of that one output, a saver ends on a key.
start --saver --output HEADLESS-2
start_input keyboard
await_line "the keyboard reaching the saver on HEADLESS-2" "^keyboard enter master HEADLESS-2$"
input_step "key space"
expect_exit 0 "a key, the saver on HEADLESS-2"
stop_input

# Unplugged (a nested sway's output, which can be; see test_saver.sh): the saver on it ends, the
# wallpaper waits, seeing an output plugged in after.
start_nested_sway
start --saver --output WL-2
await_frames WL-2 1
on_outer swaymsg '[title="wlroots - WL-2"] kill' >/dev/null || fail "cannot close WL-2's window"
expect_exit 0 "the saver's output unplugged" "$wait_bound"
start --saver --layer background --output WL-1
await_frames WL-1 1
since=$(log_length)
on_outer swaymsg '[title="wlroots - WL-1"] kill' >/dev/null || fail "cannot close WL-1's window"
await_line "the program told WL-1 went" "^output gone WL-1$" "$since"
gone=$(grep -n '^output gone WL-1$' "$log" | cut -d: -f1)
as_sway_user swaymsg create_output >/dev/null || fail "swaymsg create_output failed"
await_line "the wallpaper, still running, told of an output plugged in" "^output HEADLESS-1 at " "$gone"
! log_after "$gone" | grep -q '^frame ' || fail "the wallpaper drew with its output gone"
pass "the wallpaper waits while its output is gone, drawing nothing"
kill -TERM "$pid"
expect_exit 0 "the waiting wallpaper on SIGTERM"
end_nested_sway
