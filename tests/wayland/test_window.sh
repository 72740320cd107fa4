#!/usr/bin/env bash
# Window mode under headless sway (chosen by WAYLAND_DISPLAY alone): the window "Lumenweave"
# draws the figure (the built-in one, a broken script reported), N opens "Lumenweave (clone)"
# that draws it too, F makes it full screen, Escape on it closes the clone alone, Escape on the
# window ends the run with 0; a saved script replaces the running one, one saved with problems is
# reported and the running one goes on; on an output of scale 2 it draws in the output's own pixels;
# at --frame-rate 30 frames are never closer than 33.33 ms and the animation keeps 60 steps a
# second of elapsed time, whatever pace the compositor's frame callbacks set; it never asks for an
# idle inhibitor; hidden on another workspace it rests at its step with its process asleep, and
# goes on from there.
source "$(dirname "$0")/lib.sh"
# Without borders and title bars, whose colours would pass for a figure.
start_compositor "default_border none"
fullscreen() { as_sway_user swaymsg -t get_tree | grep -q '"fullscreen_mode": 1'; }

# window_count TITLE: windows of that title in sway's tree.
window_count() { as_sway_user swaymsg -t get_tree | grep -c "\"name\": \"$1\""; }
windows_are() {
    seen="$(window_count "$1") windows titled $1"
    [[ $(window_count "$1") == "$2" ]]
}
wait_windows() { await "$3: $2 windows titled $1" windows_are "$1" "$2"; }

# The keyboard is there from the start; each key waits until the program's log says where its
# focus is.
start_input keyboard

# A script with problems is reported, and the built-in one runs instead of a black window.
printf 'seqname: 1\nactset: 2000, 1\n' >"$out/broken.txt"
chmod 644 "$out/broken.txt"
start --seed 9 --script "$out/broken.txt" --frame-rate 30
wait_windows Lumenweave 1 "window mode"
expect_figure HEADLESS-1 "window mode with a broken script"
grep -qF "$out/broken.txt:2: actuator 2000" "$out/stderr" &&
    grep -qF "lumenweave: the script has the problems above" "$out/stderr" ||
    fail "broken script: $(<"$out/stderr")"
pass "a broken script is reported line by line"

await_line "N: the keyboard's focus on the window" "^keyboard enter master "
since=$(log_length)
# The window alone so far (pacing_figures in tests/lib/program.sh).
read -r fps steps due period step closest other_rate < <(head -n "$since" "$log" |
    grep '^frame master HEADLESS-1 ' | pacing_figures 30)
[[ -z $other_rate ]] || fail "--frame-rate 30: a frame line gives rate $other_rate"
awk -v c="$closest" -v s="$steps" -v d="$due" \
    'BEGIN { exit !(c >= 33.33 && s - d <= 2 && d - s <= 2 && s >= 10) }' ||
    fail "--frame-rate 30: frames down to $closest ms apart, $steps steps in the time of $due"
pass "--frame-rate 30: frames $closest ms apart or more ($fps a second), $steps steps in the" \
    "time of $due"
input_step "key n"
wait_windows "Lumenweave (clone)" 1 "N"
# Sway tiles the two side by side: the figure stands in the middle of each half, once each has
# drawn at its half's size.
await_line "N: the window at its half's size" "^surface master HEADLESS-1 640x720 " "$since"
await_line "N: the clone at its half's size" "^surface clone [^ ]+ 640x720 " "$since"
sized=$(grep -nE "^surface (master|clone) [^ ]+ 640x720 " "$log" | tail -1 | cut -d: -f1)
await_line "N: the window drawn at its half's size" "^frame master " "$sized"
await_line "N: the clone drawn at its half's size" "^frame clone " "$sized"
shot HEADLESS-1 tiled || fail "N: no picture of HEADLESS-1"
python3 - "$out/shots/tiled.png" <<'PY' || fail "N: the clone does not show the figure beside the window"
import subprocess, sys
def lit(crop):
    box = subprocess.run(["/usr/bin/convert", sys.argv[1], "-crop", crop, "+repage", "-fuzz", "8%",
                          "-format", "%@", "info:"], capture_output=True, text=True).stdout
    return not box.startswith("0x0")
sys.exit(0 if lit("640x720+0+0") and lit("640x720+640+0") else 1)
PY
pass "N: the clone draws beside the window"

# F on the clone, which has the focus: sway makes it full screen.
await_line "F: the keyboard's focus on the clone" "^keyboard enter clone " "$since"
since=$(log_length)
input_step "key f"
await "F: a window full screen" fullscreen
await_line "F: the clone at the output's size" "^surface clone HEADLESS-1 1280x720 " "$since"
expect_figure HEADLESS-1 "F: full screen"

since=$(log_length)
input_step "key Escape"
wait_windows "Lumenweave (clone)" 0 "Escape on the clone"
await_line "Escape on the clone: the focus back on the window" "^keyboard enter master " "$since"
await_frames HEADLESS-1 2
pass "Escape on the clone: the window draws on"
input_step "key Escape"
expect_exit 0 "Escape on the window"

# A saved script is read again, as on X11: a clean one saved by a rename replaces a figure of no
# wings with the square, one saved with problems is reported and the square goes on.
mkdir -m 755 "$out/live"
printf 'actset: 52, 0\n' >"$out/live/script.txt"
start --seed 3 --script "$out/live/script.txt"
wait_windows Lumenweave 1 "live reload"
await_frames HEADLESS-1 2
# lit_box: the box of what is lit in a new picture of HEADLESS-1, 0x0+... for nothing.
lit_box() {
    shot HEADLESS-1 live || fail "live reload: no picture of HEADLESS-1"
    /usr/bin/convert "$out/shots/live.png" -fuzz 8% -format %@ info:
}
[[ $(lit_box) == 0x0* ]] || fail "live reload: a script of no wings drew $(lit_box)"
figure_lit() {
    seen=$(lit_box)
    [[ $seen != 0x0* ]]
}
cp "$square_script" "$out/live/script.new"
chmod 644 "$out/live/script.new"
mv "$out/live/script.new" "$out/live/script.txt"
await "live reload: the script saved by a rename drawn" figure_lit
expect_figure HEADLESS-1 "live reload: the saved script"
printf 'actset: 1024, 1\n' >"$out/live/script.txt"
changed_reported() {
    seen=$(tail -2 "$out/stderr" | paste -sd'|')
    grep -qF "$out/live/script.txt:1: actuator 1024 reaches no slot" "$out/stderr" &&
        grep -qF "lumenweave: the changed script has the problems above; the running one goes on" \
            "$out/stderr"
}
await "live reload: an edit with a problem reported" changed_reported
expect_figure HEADLESS-1 "live reload: after an edit with a problem, the running script"
kill -TERM "$pid"
expect_exit 0 "live reload: SIGTERM"

# A window on an output of scale 2 takes the output's scale, as the saver's surfaces do. It runs
# with the protocol log on, which shows it never keeps the machine awake.
start_env=(WAYLAND_DEBUG=1)
start --fps --script "$square_script"
start_env=()
wait_windows Lumenweave 1 "window mode with --fps"
await_frames HEADLESS-1 1
expect_scaled_readout master "a window on an output of scale 2"
expect_no_inhibitor "window mode"
kill -TERM "$pid"
expect_exit 0 "--fps: SIGTERM"

# Hidden on another workspace, the window rests: the compositor asks it for no frames. Another run
# of the program on that workspace measures with its frames the span the first must sleep through.
start --seed 4
wait_windows Lumenweave 1 "rest"
await_frames HEADLESS-1 2
since=$(log_length)
as_sway_user swaymsg workspace 2 >/dev/null || fail "rest: no workspace 2"
await_line "hidden: resting" "^paused " "$since"
step=${line#paused }
sway_session
"${sway_prefix[@]}" "$out/bin/lumenweave-test" --seed 2 >"$out/other.log" 2>&1 &
started+=($!)
other_frames() {
    seen="$(grep -c '^frame master ' "$out/other.log") frames"
    (($(grep -c '^frame master ' "$out/other.log") >= $1))
}
wakes=$(wake_ups) ticks=$(cpu_ticks)
await "hidden: 120 frames of the other run" other_frames 120
wakes=$(($(wake_ups) - wakes)) ticks=$(($(cpu_ticks) - ticks))
log_after "$since" | grep -E '^paused |^(frame|draw) ' | sed -n '/^paused /,$p' | grep -q '^frame ' &&
    fail "hidden: drew on after resting at step $step"
((wakes <= 10)) || fail "hidden: $wakes wake-ups over 120 frames of the other run"
pass "hidden: rests at step $step ($wakes wake-ups, $ticks CPU ticks over 120 frames of another run)"
kill "${started[-1]}"
since=$(log_length)
as_sway_user swaymsg workspace 1 >/dev/null || fail "rest: no workspace 1"
await_line "shown again: resuming" "^resumed " "$since"
[[ ${line#resumed } == "$step" ]] || fail "shown again: rested at step $step, $line"
await_line "shown again: drawing" "^frame master " "$since"
read -r -a fields <<<"$line"
[[ ${fields[9]} == $((step + 1)) ]] || fail "shown again: rested at step $step, then drew ${fields[9]}"
pass "shown again: goes on with step $((step + 1))"
