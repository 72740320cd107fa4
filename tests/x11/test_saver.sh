#!/usr/bin/env bash
# Saver mode: a window handed over through XSCREENSAVER_WINDOW (hex and decimal) or --window-id is
# drawn into at its size, the figure centred; the program ends with 0 on SIGTERM, SIGINT, SIGHUP
# and when the window is destroyed, and resumes at its pace after SIGSTOP and SIGCONT; a lost X
# server ends it; bad windows, flags and window ids are refused in one line; a user's script
# runs, or is reported and replaced by the built-in one, and is read again when edited; the
# --fps readout keeps its spaces.
source "$(dirname "$0")/lib.sh"
start_display

# The helper's window: its id in $window; "resize W H" and "destroy" go to it through $helper_in.
make_window() {
    mkfifo "$out/helper.in.$1"
    "$x11tool" "${@:2}" <"$out/helper.in.$1" >"$out/helper.out.$1" &
    started+=($!)
    exec {helper_in}>"$out/helper.in.$1"
    await "the helper's window" helper_window "$1"
}
helper_window() { window=$(head -1 "$out/helper.out.$1" 2>/dev/null) && [[ -n $window ]]; }

# Sends a stop signal and sets ms to the milliseconds until the program ended (it stays a zombie
# until waited for), then expects exit code 0.
end_on_signal() {
    ms=$(python3 - "$1" "$pid" <<'PY'
import os, signal, sys, time
pid = int(sys.argv[2])
t0 = time.monotonic()
os.kill(pid, getattr(signal, "SIG" + sys.argv[1]))
while time.monotonic() - t0 < 10:
    try:
        state = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[0]
    except FileNotFoundError:
        break
    if state in ("Z", "X"):
        break
    time.sleep(0.001)
print(round((time.monotonic() - t0) * 1000))
PY
)
    exit_code_within 10
    [[ $exit_code == 0 ]] || fail "SIG$1: exit code $exit_code after $ms ms"
}

# loop_ended WHAT: the test build's last words say its frame loop ended the run with 0, not the
# stop thread's fallback half a second later.
loop_ended() {
    grep -qx 'end 0' "$out/stdout" || fail "$1: not ended by the frame loop: $(tail -n 2 "$out/stdout")"
}

# Hex through the variable: draws centred, follows a resize, ends on SIGTERM.
make_window 1 320 240
XSCREENSAVER_WINDOW=$window start "$test_program" --root --script "$square_script"
expect_drawing "$window" "XSCREENSAVER_WINDOW=$window"
expect_centred "$window" 320 240 "at the window's size"
echo "resize 640 480" >&$helper_in
expect_centred "$window" 640 480 "after a resize to 640 x 480"
end_on_signal TERM
loop_ended SIGTERM
pass "SIGTERM: exit code 0 from the frame loop, after $ms ms"

# Decimal through the variable: ends with 0 when the window is destroyed under it.
make_window 2 320 240
XSCREENSAVER_WINDOW=$((window)) start "$program" -root
expect_drawing "$window" "XSCREENSAVER_WINDOW=$((window))"
echo destroy >&$helper_in
expect_exit 0 "window destroyed"
expect_no_x_dump "window destroyed"

# Set but empty, the variable names no window: the root window is drawn on.
XSCREENSAVER_WINDOW= start "$program" --root
expect_drawing root "XSCREENSAVER_WINDOW empty: the root window"
end_on_signal TERM

# Every argument the daemon's settings file can pass (packaging/linux/lumenweave.xml: the
# command's, each option's set or unset one, a value for each %) is taken, all at once.
daemon_arguments=$(python3 - "$here/../../packaging/linux/lumenweave.xml" "$square_script" <<'PY'
import sys, xml.etree.ElementTree as tree
values = {"seed": "7", "script": sys.argv[2], "framerate": "30", "every": "10"}
arguments = []
for element in tree.parse(sys.argv[1]).iter():
    for attribute in ("arg", "arg-set", "arg-unset"):
        argument = element.get(attribute)
        if argument is None:
            continue
        if "%" in argument:
            if element.get("id") not in values:
                sys.exit(f"no value to try for {element.get('id')}: {argument}")
            argument = argument.replace("%", values[element.get("id")])
        arguments.append(argument)
print(" ".join(arguments))
PY
) || fail "the daemon's settings file: $daemon_arguments"
make_window 8 320 240
# shellcheck disable=SC2086
XSCREENSAVER_WINDOW=$window start "$program" $daemon_arguments
expect_drawing "$window" "the daemon's arguments $daemon_arguments"
[[ ! -s $out/stderr ]] || fail "the daemon's arguments $daemon_arguments: $(<"$out/stderr")"
end_on_signal TERM
pass "the daemon's settings: every argument it passes is taken ($daemon_arguments)"

# --window-id, in the test build that logs its frames: no burst of frames after SIGCONT.
make_window 3 320 240
start "$test_program" --window-id "$window" --fps
expect_drawing "$window" "--window-id $window"
kill -STOP "$pid"
stopped() { [[ $(awk '/^State:/ { print $2 }' "/proc/$pid/status") == T ]]; }
await "SIGSTOP: the program stopped" stopped
# A pause of a second, the length of the stop being what is tested.
sleep 1
kill -CONT "$pid"
# pacing [covered]: judges the presents in the half second after the longest pause; given
# covered, only whether the log reaches that far. At 60 frames a second about 30 come; a burst
# catching up with the second lost would crowd in some 60 more, at frames begun with their
# deadline already past. A loaded machine may present fewer, never a burst.
pacing() {
    log_after 0 | frame_columns master began deadline present | python3 -c '
import sys
frames = [[int(f) for f in l.split()] for l in sys.stdin]  # began, deadline, present
present = [f[2] for f in frames]
pause = max(range(1, len(present)), key=lambda i: present[i] - present[i - 1])
if len(sys.argv) > 1:
    sys.exit(0 if present[-1] - present[pause] >= 500e6 else 1)
after = [f for f in frames[pause:] if f[2] - present[pause] < 500e6]
late = [f for f in after if f[1] <= f[0]]
print(f"pause {(present[pause] - present[pause - 1]) / 1e6:.0f} ms, then {len(after)} presents "
      f"in 500 ms, {len(late)} of them begun past their deadline")
sys.exit(0 if present[pause] - present[pause - 1] > 900e6 and len(after) <= 32 and not late else 1)
' "$@"
}
await "SIGCONT: presents for half a second after the pause" pacing covered 2>/dev/null
end_on_signal INT
loop_ended SIGINT
pass "SIGINT: exit code 0 from the frame loop, after $ms ms"
verdict=$(pacing) || fail "pacing after SIGCONT: $verdict"
pass "SIGSTOP and SIGCONT: no catch-up burst ($verdict)"

# Refusals, each in one line of standard error.
refused() {
    local code=$1 what=$2
    shift 2
    timeout 30 "$@" >/dev/null 2>"$out/stderr"
    local got=$?
    [[ $got == "$code" ]] || fail "$what: exit code $got, expected $code ($(<"$out/stderr"))"
    [[ $code == 2 ]] || (($(wc -l <"$out/stderr") == 1)) || fail "$what: $(<"$out/stderr")"
    expect_no_x_dump "$what"
    pass "$what: exit code $code: $(head -1 "$out/stderr")"
}
refused 1 "no such window" "$program" --window-id 0x1fffff0
make_window 4 --input-only 100 100
refused 1 "a window without a visual" "$program" --window-id "$window"
refused 1 "XSCREENSAVER_WINDOW not an id" env XSCREENSAVER_WINDOW=screen "$program" --root
refused 2 "unknown flag" "$program" --bogus
# What the display system chosen cannot do is refused in one line, before any display opens: on
# X11 the saver covers every monitor, and a locker's background is Wayland's alone.
for refusal in "--x11 --saver --output HDMI-1|--output needs Wayland" \
    "--x11 --lock-background|--lock-background needs Wayland" \
    "--wayland --window-id 0x1|--root and --window-id need X11"; do
    read -r -a arguments <<<"${refusal%%|*}"
    refused 2 "${arguments[*]}" "$program" "${arguments[@]}"
    [[ $(<"$out/stderr") == "lumenweave: ${refusal#*|}" ]] || fail "${arguments[*]}: $(<"$out/stderr")"
done
# A malformed window id is named in one line with what a window id looks like; 0x20000000 is the
# first beyond the 29 bits of an X resource id.
for id in abc 0x 0x20000000; do
    timeout 30 "$program" --window-id "$id" >/dev/null 2>"$out/stderr"
    code=$?
    ((code == 2)) && (($(wc -l <"$out/stderr") == 1)) &&
        grep -qF -- "--window-id $id: not a window id: give 0x1 to 0x1fffffff in hex" "$out/stderr" ||
        fail "--window-id $id: exit code $code: $(<"$out/stderr")"
done
pass "malformed window ids: exit code 2: $(<"$out/stderr")"

# A user's script: a sound one runs without a word; one with problems is reported in the
# checker's lines, and the built-in script runs instead of a black screen.
make_window 6 320 240
start "$program" --window-id "$window" --script "$here/../../examples/breathing.txt"
expect_drawing "$window" "--script with a sound script"
[[ ! -s $out/stderr ]] || fail "a sound script was reported: $(<"$out/stderr")"
end_on_signal HUP
pass "SIGHUP: exit code 0 after $ms ms"
printf 'seqname: 1\nactset: 2000, 1\nseqloop:\n' >"$out/broken.txt"
start "$program" --window-id "$window" --script "$out/broken.txt"
expect_drawing "$window" "--script with a broken script"
for line in "$out/broken.txt:1: sequence 1 never starts" "$out/broken.txt:2: actuator 2000" \
    "$out/broken.txt:3: 'seqloop:' lets no time pass" "lumenweave: the script has the problems"; do
    grep -qF "$line" "$out/stderr" || fail "broken script: no \"$line\" in: $(<"$out/stderr")"
done
end_on_signal TERM
# One problem is as good as many: a script of no wings, were it run, would leave the window black.
printf 'actset: 52, 0\nactset: 1024, 1\n' >"$out/one.txt"
start "$program" --window-id "$window" --script "$out/one.txt"
expect_drawing "$window" "--script with one problem"
for line in "$out/one.txt:2: actuator 1024 reaches no slot" "lumenweave: the script has the problems"; do
    grep -qF "$line" "$out/stderr" || fail "one problem: no \"$line\" in: $(<"$out/stderr")"
done
end_on_signal TERM
pass "--script: a broken script is reported line by line and the built-in one runs"

# The readout's groups of glyphs stand apart, and an edited script is read again: a clean one
# replaces the running one at once, one with problems is reported and the running one goes on.
# The first script has only a warning (its 0 read, the O ignored), so it runs: no wings.
printf 'actset: 52, 0O\n' >"$out/live.txt"
make_window 7 320 240
# The test build, held from its second frame on, so that the capture follows a present.
touch "$out/hold"
LUMENWEAVE_HOLD=$out/hold start "$test_program" --window-id "$window" --fps --script "$out/live.txt"
await_line "the readout" '^held master '
shot "$window" "$out/readout.png" || fail "no capture of the readout"
rm "$out/hold"
read -r left top gaps <<<"$(python3 "$here/picture.py" text "$out/readout.png" 320x24+0+0)"
# "0.0 fps  0.00 ms" in a font 6 pixels wide: within a group the glyphs stand at most 5 apart.
wide=$(for gap in $gaps; do ((gap >= 6)) && echo "$gap"; done | paste -sd' ')
[[ $left == [89] && $top -le 12 && $wide =~ ^[0-9]+\ 1[2-9]\ [0-9]+$ ]] ||
    fail "the readout: left $left, top $top, gaps $gaps"
pass "--fps: the readout from column $left, its groups apart by $wide pixels"
[[ $(python3 "$here/picture.py" box "$out/readout.png" 320x216+0+24) == none ]] ||
    fail "a script of no wings with a warning did not run: $(<"$out/stderr")"
grep -qF "$out/live.txt:1: warning: 'actset:' read 0; 'O' after it is ignored" "$out/stderr" ||
    fail "the warning was not said: $(<"$out/stderr")"
# lit_below_readout: the box of what is drawn below the readout, "none" for nothing.
lit_below_readout() {
    shot "$window" "$out/live.png"
    python3 "$here/picture.py" box "$out/live.png" 320x216+0+24
}
cp "$square_script" "$out/live.new"
mv "$out/live.new" "$out/live.txt"
lit_again() { [[ $(lit_below_readout) != none ]]; }
await "the script saved by a rename replacing the running one" lit_again
printf 'actset: 1024, 1\n' >"$out/live.txt"
await "the edit's problem reported" grep -qF "$out/live.txt:1: actuator 1024 reaches no slot" "$out/stderr"
kill -0 "$pid" 2>/dev/null || fail "an edit with a problem ended the program"
[[ $(lit_below_readout) != none ]] || fail "an edit with a problem stopped the running script"
end_on_signal TERM
loop_ended "--script"
pass "--script: a clean edit replaces the running script, one with problems is reported"

# A frame that takes seconds (the figure's most wings, a script's whim) does not hold a stop
# back: the stop thread ends the program half a second after SIGTERM, before the frame is done.
printf 'actset: 52, 1e9\n' >"$out/huge.txt"
start "$test_program" --window-id "$window" --script "$out/huge.txt"
await_line "the first frame of $out/huge.txt" '^draw 1$'
end_on_signal TERM
! grep -qE '^(end|frame) ' "$out/stdout" ||
    fail "SIGTERM during a long frame: the frame was finished first: $(tail -n 2 "$out/stdout")"
((ms <= 5000)) || fail "SIGTERM during a long frame: ended after $ms ms"
pass "SIGTERM during a frame of the most wings: exit code 0 after $ms ms"

# The X server going away ends it, without Xlib's report.
make_window 5 320 240
start "$program" --window-id "$window"
expect_drawing "$window" "before the server goes"
kill "$xvfb_pid"
timeout 30 tail --pid="$xvfb_pid" -f /dev/null || fail "the X server did not end within 30 s"
exit_code_within 10
[[ $exit_code != running ]] || fail "still running 10 s after the X server went away"
expect_no_x_dump "X server gone"
pass "X server gone: ended with $exit_code: $(<"$out/stderr")"
