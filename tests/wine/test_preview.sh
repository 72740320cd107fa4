#!/usr/bin/env bash
# A real preview: a host window hands its child window to "/p"; the saver's window fills the
# child's client area and draws, ignores input, and the saver ends when the host destroys it.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

: >"$out/raw"
# Straight from wine, unfiltered, so that each line arrives as it is printed.
timeout 90 wine "$wintool_exe" preview "$(winepath -w "$saver")" 8000 >"$out/raw" 2>/dev/null &
host=$!
report() { tr -d '\r' <"$out/raw"; }
deadline=$((SECONDS + 30))
until report | grep -q '^preview\|^no preview'; do
    ((SECONDS < deadline)) || fail "the preview host reported nothing"
    sleep 0.3
done
report | grep -qx 'preview 320 240 at 0 0 in 320 240' ||
    fail "the preview window does not fill its parent: $(report)"
pass "the preview window fills its parent's 320 x 240 client area"

# Wine draws OpenGL for a child window of another process into an off-screen X window of the
# child's size and does not show it in the parent, so the picture is read from there.
sleep 1
surface=$(xwininfo -root -tree | awk '/\(has no name\): \(\)  320x240\+/ { print $1 }' | head -1)
[[ -n $surface ]] || fail "no 320 x 240 drawing surface for the preview"
is_drawing "$surface" && awk -v m="$picture_mean" 'BEGIN { exit !(m < 0.5) }' ||
    fail "the preview shows no figure (mean $picture_mean, change $picture_change)"
pass "the preview draws (mean $picture_mean)"

# Input over the preview does not end it.
xdotool mousemove 200 200
sleep 0.3
xdotool mousemove 300 260 click 1
sleep 0.5
report | grep -q '^saver exit' && fail "the preview ended on input: $(report)"
pass "input over the preview does not end it"

timeout 40 tail --pid="$host" -f /dev/null
report | grep -qx 'saver exit 0' || fail "destroying the parent did not end the saver: $(report)"
pass "destroying the parent ends the saver with exit code 0"
