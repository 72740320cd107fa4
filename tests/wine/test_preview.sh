#!/usr/bin/env bash
# A real preview: a host window hands its child window to "/p"; the saver's window fills the
# child's client area and draws, ignores input, and the saver ends when the host destroys it.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# The host's report and the test build's lines (the saver inherits the host's output) go to
# $out/stdout; the host holds the preview until $out/release exists.
saver_path=$(winepath -w "$test_saver") release=$(winepath -w "$out/release")
start_program timeout 300 wine "$wintool_exe" preview "$saver_path" 120000 "$release"
await_line "the preview host" '^(preview|no preview)'
[[ $line == 'preview 320 240 at 0 0 in 320 240' ]] ||
    fail "the preview window does not fill its parent: $line"
pass "the preview window fills its parent's 320 x 240 client area"

# Wine draws OpenGL for a child window of another process into an off-screen X window of the
# child's size and does not show it in the parent, so the picture is read from there.
preview_surface() {
    surface=$(xwininfo -root -tree | awk '/\(has no name\): \(\)  320x240\+/ { print $1 }' | head -1)
    [[ -n $surface ]]
}
await "a 320 x 240 drawing surface for the preview" preview_surface
expect_drawing "$surface" "the preview"
awk -v m="$picture_mean" 'BEGIN { exit !(m < 0.5) }' || fail "the preview shows no figure (mean $picture_mean)"
pass "the preview draws (mean $picture_mean)"

# Input over the preview does not end it. Each input is awaited in the test build's lines; the
# move after the click comes after it in the saver's queue, and a close that the click would
# have made comes before that move. The host then says whether the window or the saver went
# before it destroyed the parent.
from=$(log_length)
xdotool mousemove 200 200
await_line "a move over the preview" '^mouse 200 200 ' "$from"
xdotool mousemove 300 260 click 1 mousemove 302 262
await_line "a click over the preview" '^mouse 302 262 ' "$from"
touch "$out/release"
timeout "$wait_bound" tail --pid="$pid" -f /dev/null
grep -q 'before' "$out/stdout" && fail "the preview ended on input: $(grep before "$out/stdout")"
pass "input over the preview does not end it"
grep -qx 'saver exit 0' <(log_after 0) || fail "destroying the parent did not end the saver: $(log_after 0 | grep -v '^frame')"
pass "destroying the parent ends the saver with exit code 0"
