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
    local deadline=$((SECONDS + 10))
    until window=$(head -1 "$out/helper.out.$1") && [[ -n $window ]]; do
        ((SECONDS < deadline)) || fail "the helper made no window"
        sleep 0.1
    done
}

# Sends a stop signal and sets ms to the milliseconds until the program ended (it stays a zombie
# until waited for), then expects exit code 0.
end_on_signal() {
    ms=$(python3 - "$1" "$pid" <<'PY'
import os, signal, sys, time
pid = int(sys.argv[2])
t0 = time.monotonic()
os.kill(pid, getattr(signal, "SIG" + sys.argv[1]))
while time.monotonic() - t0 < 5:
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
    exit_code_within 5
    [[ $exit_code == 0 ]] || fail "SIG$1: exit code $exit_code"
}

# Hex through the variable: draws centred, follows a resize, ends on SIGTERM.
make_window 1 320 240
XSCREENSAVER_WINDOW=$window start "$program" --root --script "$square_script"
expect_drawing "$window" "XSCREENSAVER_WINDOW=$window"
expect_centred "$window" 320 240 "at the window's size"
echo "resize 640 480" >&$helper_in
expect_centred "$window" 640 480 "after a resize to 640 x 480"
end_on_signal TERM
((ms <= 200)) || fail "SIGTERM: ended after $ms ms"
pass "SIGTERM: exit code 0 after $ms ms"

# Decimal through the variable: ends with 0 when the window is destroyed under it.
make_window 2 320 240
XSCREENSAVER_WINDOW=$((window)) start "$program" -root
expect_drawing "$window" "XSCREENSAVER_WINDOW=$((window))"
echo destroy >&$helper_in
expect_exit 0 "window destroyed"
expect_no_x_dump "window destroyed"

# --window-id, in the test build that logs its frames: no burst of frames after SIGCONT.
make_window 3 320 240
start "$test_program" --window-id "$window" --fps
expect_drawing "$window" "--window-id $window"
kill -STOP "$pid"
sleep 1
kill -CONT "$pid"
sleep 1
end_on_signal INT
pass "SIGINT: exit code 0 after $ms ms"
# Presents in the half second after the pause: at 60 frames a second about 30; a burst catching
# up with the second lost would crowd in some 60 more.
python3 - "$out/stdout" <<'PY' || fail "pacing after SIGCONT"
import sys
t = [int(l.split()[8]) for l in open(sys.argv[1]) if l.startswith("frame master")]
pause = max(range(1, len(t)), key=lambda i: t[i] - t[i - 1])
after = [x for x in t[pause:] if x - t[pause] < 500e6]
print(f"pause {(t[pause] - t[pause - 1]) / 1e6:.0f} ms, then {len(after)} presents in 500 ms")
sys.exit(0 if t[pause] - t[pause - 1] > 900e6 and 20 <= len(after) <= 32 else 1)
PY
pass "SIGSTOP and SIGCONT: no catch-up burst"

# Refusals, each in one line of standard error.
refused() {
    local code=$1 what=$2
    shift 2
    timeout 10 "$@" >/dev/null 2>"$out/stderr"
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
# A malformed window id is named in one line with what a window id looks like; 0x20000000 is the
# first beyond the 29 bits of an X resource id.
for id in abc 0x 0x20000000; do
    timeout 10 "$program" --window-id "$id" >/dev/null 2>"$out/stderr"
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
pass "--script: a broken script is reported line by line and the built-in one runs"

# The readout's groups of glyphs stand apart, and an edited script is read again: a clean one
# replaces the running one at once, one with problems is reported and the running one goes on.
printf 'actset: 52, 0\n' >"$out/live.txt"
make_window 7 320 240
start "$program" --window-id "$window" --fps --script "$out/live.txt"
# Until the first frame is up, which a loaded machine (or a sanitizer build) can take a while for.
deadline=$((SECONDS + 10))
until shot "$window" "$out/readout.png" &&
    read -r left top gaps <<<"$(python3 "$here/picture.py" text "$out/readout.png" 320x24+0+0)" &&
    [[ $left != none ]] || ((SECONDS >= deadline)); do
    sleep 0.2
done
# "0.0 fps  0.00 ms" in a font 6 pixels wide: within a group the glyphs stand at most 5 apart.
wide=$(for gap in $gaps; do ((gap >= 6)) && echo "$gap"; done | paste -sd' ')
[[ $left == [89] && $top -le 12 && $wide =~ ^[0-9]+\ 1[2-9]\ [0-9]+$ ]] ||
    fail "the readout: left $left, top $top, gaps $gaps"
pass "--fps: the readout from column $left, its groups apart by $wide pixels"
[[ $(python3 "$here/picture.py" box "$out/readout.png" 320x216+0+24) == none ]] ||
    fail "a script of no wings drew something"
# lit_below_readout: the box of what is drawn below the readout, "none" for nothing.
lit_below_readout() {
    shot "$window" "$out/live.png"
    python3 "$here/picture.py" box "$out/live.png" 320x216+0+24
}
cp "$square_script" "$out/live.new"
mv "$out/live.new" "$out/live.txt"
deadline=$((SECONDS + 2))
until [[ $(lit_below_readout) != none ]]; do
    ((SECONDS < deadline)) || fail "the script saved by a rename did not replace the running one"
    sleep 0.1
done
printf 'actset: 1024, 1\n' >"$out/live.txt"
deadline=$((SECONDS + 2))
until grep -qF "$out/live.txt:1: actuator 1024 reaches no slot" "$out/stderr"; do
    ((SECONDS < deadline)) || fail "an edit with a problem was not reported: $(<"$out/stderr")"
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null || fail "an edit with a problem ended the program"
[[ $(lit_below_readout) != none ]] || fail "an edit with a problem stopped the running script"
end_on_signal TERM
pass "--script: a clean edit replaces the running script, one with problems is reported"

# A frame that takes seconds (the figure's most wings, a script's whim) does not hold a stop
# back: the program ends within a second or so of SIGTERM all the same.
printf 'actset: 52, 1e9\n' >"$out/huge.txt"
start "$program" --window-id "$window" --script "$out/huge.txt"
sleep 1.5
end_on_signal TERM
((ms <= 1500)) || fail "SIGTERM during a long frame: ended after $ms ms"
pass "SIGTERM during a long frame: exit code 0 after $ms ms"

# The X server going away ends it within a second, without Xlib's report.
make_window 5 320 240
start "$program" --window-id "$window"
expect_drawing "$window" "before the server goes"
kill "$xvfb_pid"
exit_code_within 1
[[ $exit_code != running ]] || fail "still running a second after the X server went away"
expect_no_x_dump "X server gone"
pass "X server gone: ended with $exit_code: $(<"$out/stderr")"
