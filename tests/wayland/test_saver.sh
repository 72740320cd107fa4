#!/usr/bin/env bash
# --saver under headless sway: the figure on every output, also on one added while it runs, and
# the run going on when the first output goes, and on it again when it comes back; a small
# pointer move is survived, a larger one, a key (from a keyboard that appears after the start)
# and SIGTERM end it with 0, also in the middle of a long frame; --fps puts its readout in a
# corner, also on a scaled output; swayidle starts it after two idle seconds; the compositor going
# away ends it with one line.
source "$(dirname "$0")/lib.sh"
start_sway
add_output

start --saver --seed 5
expect_figure HEADLESS-1 "first output"
expect_figure HEADLESS-2 "second output"
add_output
expect_figure HEADLESS-3 "an output added while it runs"
# The first output, whose surface computes the frame, goes and comes back.
as_user swaymsg output HEADLESS-1 disable >/dev/null || fail "cannot disable HEADLESS-1"
expect_running "the first output removed"
expect_figure HEADLESS-2 "another output after the first one's removal"
as_user swaymsg output HEADLESS-1 enable >/dev/null || fail "cannot enable HEADLESS-1"
expect_figure HEADLESS-1 "the first output back"

# The first motion sets the origin (the pointer device appears with the helper: its first move
# only enters the surface); moves within 4 px of it are survived, 10 px ends the run.
as_user "$out/bin/lumenweave-vpointer" 1,0 1,0 2,0 -1,1 1,0 || fail "the pointer helper failed"
expect_running "moves of up to 4 px"
as_user "$out/bin/lumenweave-vpointer" 10,0 || fail "the pointer helper failed"
expect_exit 0 "a 10 px move"

# A keyboard that appears after the start: wtype makes one, and presses after a pause.
start --saver
expect_figure HEADLESS-1 "before a key"
as_user timeout 10 wtype -s 300 -k space || fail "wtype failed"
expect_exit 0 "a key"

start --saver --layer background --fps
expect_figure HEADLESS-2 "--layer background"
# The readout on the first output alone, in its top-left corner.
expect_readout HEADLESS-1 "--fps"
# On an output of scale 2 the surface's buffer has the output's own pixels: the readout keeps its
# size and place in them, where a buffer the compositor enlarges would double both.
as_user swaymsg output HEADLESS-1 scale 2 >/dev/null || fail "cannot scale HEADLESS-1"
expect_readout HEADLESS-1 "--fps on an output of scale 2"
as_user swaymsg output HEADLESS-1 scale 1 >/dev/null || fail "cannot unscale HEADLESS-1"
kill -TERM "$pid"
expect_exit 0 "SIGTERM" 2

# A frame that takes seconds (the figure's most wings, a script's whim) does not hold a stop back.
printf 'actset: 52, 1e9\n' >"$out/huge.txt"
start --saver --script "$out/huge.txt"
sleep 1.5
kill -TERM "$pid"
expect_exit 0 "SIGTERM during a long frame" 1.5

# swayidle runs it after two seconds without input; a key ends it and swayidle stays.
session_prefix
"${as_user_prefix[@]}" swayidle -w timeout 2 "$out/bin/lumenweave --saver" >/dev/null 2>&1 &
started+=($!)
expect_figure HEADLESS-1 "started by swayidle"
as_user timeout 10 wtype -s 300 -k space || fail "wtype failed"
deadline=$((SECONDS + 10))
while pgrep -u "$user" -f "^$out/bin/lumenweave --saver" >/dev/null; do
    ((SECONDS < deadline)) || fail "the saver that swayidle started did not end on a key"
    sleep 0.1
done
pass "the saver that swayidle started ended on a key"
kill "${started[-1]}"

# The compositor gone: the program ends at once, saying so in one line.
start --saver
expect_figure HEADLESS-1 "before the compositor goes"
kill "$sway_pid"
exit_code_within 5
[[ $exit_code != running ]] || fail "still running 5 s after the compositor went away"
(($(wc -l <"$out/stderr") == 1)) || fail "compositor gone: $(<"$out/stderr")"
pass "compositor gone: ended with $exit_code: $(<"$out/stderr")"
