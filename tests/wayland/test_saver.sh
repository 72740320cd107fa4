#!/usr/bin/env bash
# --saver under headless sway: the figure on every output, also on one added while it runs; the run
# going on when the first output is unplugged and drawing on one plugged in after; pointer moves
# within 4 px of the first one are survived, also across two outputs side by side, a larger one, a
# key (from a keyboard that appears after the start) and SIGTERM end it with 0, also in the middle
# of a long frame; --fps puts its readout in a corner, also on a scaled output; swayidle starts it
# after two idle seconds; a second saver ends at once; no idle inhibitor is asked for; the
# compositor going away ends it with one line.
source "$(dirname "$0")/lib.sh"
start_compositor
add_sway_output || fail "no output added"

# The pointer exists before the program starts, which so has it from its first round trip.
start_input pointer
start --saver --seed 5
expect_figure HEADLESS-1 "first output"
expect_figure HEADLESS-2 "second output"
add_sway_output || fail "no output added"
expect_figure HEADLESS-3 "an output added while it runs"

# Side by side, their offsets differing in x and in y, so that a place computed with the wrong one
# shows. The program follows the move.
since=$(log_length)
set_output HEADLESS-1 pos 0 0
set_output HEADLESS-2 pos 1280 200
await "HEADLESS-2 placed at 1280,200" has_outputs "HEADLESS-2 1280 200 1920 1080 "
has_outputs "HEADLESS-1 0 0 1280 720 " || fail "HEADLESS-1 moved: $seen"
await_line "the program told of HEADLESS-2's place" "^output HEADLESS-2 at 1280,200 " "$since"
# The pointer's absolute places are fractions of the box around all outputs.
read -r box_width box_height < <(sway_outputs | awk '{ w = $2 + $4; h = $3 + $5
    if (w > W) W = w; if (h > H) H = h } END { print W, H }')
# pointer_step STEP X Y VERDICT: the helper's step, then the program's verdict (origin, near,
# away) on the pointer at X, Y in the compositor's space.
pointer_step() {
    local since
    since=$(log_length)
    input_step "$1"
    await_line "$1: the program seeing the pointer" "^pointer " "$since"
    [[ $line == "pointer $2 $3 $4" ]] ||
        fail "$1: the program saw \"$line\", not \"pointer $2 $3 $4\""
}
# The first motion sets the origin; moves of up to 4 px (horizontal plus vertical) from the point
# last followed are followed, on either output, however far they drift; a diagonal 3+2 px ends
# the run.
pointer_step "place 1276 400 $box_width $box_height" 1276 400 origin
pointer_step "move 1 0" 1277 400 near
pointer_step "move 1 0" 1278 400 near
pointer_step "move 2 0" 1280 400 near
pointer_step "move -1 1" 1279 401 near
pointer_step "move 1 0" 1280 401 near
pointer_step "move 1 0" 1281 401 near
pass "moves of up to 4 px, across HEADLESS-1 and HEADLESS-2, seen and followed"
pointer_step "move 3 2" 1284 403 away
expect_exit 0 "a diagonal move of 3+2 px"
stop_input

# Outputs that really go: on this sway's headless backend an output can be neither disabled nor
# unplugged ("output HEADLESS-1 disable" answers success, sway.log says "Failed to commit output"
# and the output stays), so a nested sway's outputs stand in, windows in this one: closing its
# window unplugs WL-1, whose surface computes the frame, and create_output plugs in WL-3.
start_nested_sway
start --saver --seed 7
expect_figure WL-1 "nested: first output"
since=$(log_length)
on_outer swaymsg '[title="wlroots - WL-1"] kill' >/dev/null || fail "cannot close WL-1's window"
await "WL-1 unplugged" output_gone WL-1
await_line "the program told WL-1 went" "^output gone WL-1$" "$since"
expect_figure WL-2 "another output after the first one was unplugged"
as_sway_user swaymsg create_output >/dev/null || fail "swaymsg create_output failed"
await "WL-3 plugged in" has_outputs "WL-3 "
expect_figure WL-3 "an output plugged in after the first one went"
kill -TERM "$pid"
expect_exit 0 "SIGTERM after the outputs changed"
end_nested_sway

# One saver at a time: a second on the same compositor ends at once, with 0 (an idle daemon that
# starts it sees no failure) and one line, and the first draws on. A keyboard that appears after
# the start: the key is pressed once the saver has it. The first runs with the protocol log on,
# which shows it never keeps the machine awake.
start_env=(WAYLAND_DEBUG=1)
start --saver
start_env=()
expect_figure HEADLESS-1 "before a key"
as_sway_user timeout "$wait_bound" "$out/bin/lumenweave-test" --saver >/dev/null 2>"$out/logs/second.err"
code=$?
[[ $code == 0 && $(<"$out/logs/second.err") == \
    "lumenweave: a saver is already running on this display" ]] ||
    fail "a second saver: exit code $code, said: $(<"$out/logs/second.err")"
await_frames HEADLESS-1 2
pass "a second saver ended with 0 and one line; the first draws on"
start_input keyboard
await_line "the new keyboard reaching the saver" "^keyboard enter "
input_step "key space"
expect_exit 0 "a key"
stop_input
expect_no_inhibitor "--saver"

start --saver --layer background --fps --seed 5 --script "$square_script"
expect_figure HEADLESS-2 "--layer background"
# The readout on the first output alone, in its top-left corner.
expect_readout HEADLESS-1 "--fps"
shot HEADLESS-2 corner || fail "--fps: no picture of HEADLESS-2"
box=$(/usr/bin/convert "$out/shots/corner.png" -crop 160x24+0+0 +repage -fuzz 8% -format %@ \
    info: 2>/dev/null)
[[ $box == 0x0* ]] || fail "--fps: something lit at $box in the corner of HEADLESS-2"
pass "--fps: no readout on HEADLESS-2"
# On an output of scale 2 the surface's buffer has the output's own pixels: the readout keeps its
# size and place in them, where a buffer the compositor enlarges would double both.
expect_scaled_readout '[a-z]+' "--fps on an output of scale 2"
set_output HEADLESS-1 scale 1
await "HEADLESS-1 at scale 1" has_outputs "HEADLESS-1 0 0 1280 720 1.0"
kill -TERM "$pid"
expect_exit 0 "SIGTERM"

# A frame that takes seconds (the figure's most wings, a script's whim) does not hold a stop back:
# the frame being drawn when SIGTERM comes is never finished.
printf 'actset: 52, 1e9\n' >"$out/huge.txt"
start --saver --script "$out/huge.txt"
await_line "a long frame begun" "^draw "
kill -TERM "$pid"
expect_exit 0 "SIGTERM during a long frame"
awk '/^draw / { frames = 0 } /^frame / { frames++ } END { exit frames > 0 }' "$log" ||
    fail "SIGTERM during a long frame: the frame was finished first"
pass "SIGTERM during a long frame: the frame was cut short"

# swayidle runs it after two seconds without input, in the README's form (-w, the saver in the
# background); a key ends it with 0 and swayidle stays.
sway_session
"${sway_prefix[@]}" swayidle -w timeout 2 \
    "($out/bin/lumenweave-test --saver; echo ended \$?) >>$out/logs/idle.log 2>&1 &" \
    >/dev/null 2>&1 &
idle_pid=$!
started+=("$idle_pid")
log=$out/logs/idle.log pid=
await_line "a saver started by swayidle" "^start "
expect_figure HEADLESS-1 "started by swayidle"
start_input keyboard
await_line "the keyboard reaching the saver that swayidle started" "^keyboard enter "
input_step "key space"
await_line "the saver that swayidle started ending" "^ended "
[[ $line == "ended 0" ]] || fail "the saver that swayidle started, on a key: $line"
kill -0 "$idle_pid" || fail "swayidle ended with the saver"
pass "the saver that swayidle started ended on a key with 0, swayidle stays"
stop_input
kill "$idle_pid"
# Two idle seconds on, swayidle may have started the next one.
for leftover in $(pgrep -u "$sway_user" -f "^$out/bin/lumenweave-test --saver"); do
    kill "$leftover"
done

# The compositor gone: the program ends at once, saying so in one line.
start --saver
expect_figure HEADLESS-1 "before the compositor goes"
kill "$sway_pid"
exit_code_within "$wait_bound"
[[ $exit_code != running ]] || fail "still running $wait_bound s after the compositor went away"
(($(wc -l <"$out/stderr") == 1)) || fail "compositor gone: $(<"$out/stderr")"
pass "compositor gone: ended with $exit_code: $(<"$out/stderr")"
