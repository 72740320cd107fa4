#!/usr/bin/env bash
# --lock-background, the background program of a screen locker, under headless sway: handed a
# connected socket in WAYLAND_SOCKET by a stand-in locker (tools/lib/stand-in-locker.py) with
# WAYLAND_DISPLAY and DISPLAY removed. One program for all outputs, through a filter that hides
# the seat, the window shell and the subcompositor as the locker's server does, draws the figure
# on each output, also on one added, naming each surface's output, and ends with 0 when the
# locker closes the connection; one for a named output waits for it, saying so once, and draws
# there alone; a bad WAYLAND_SOCKET and a server without the layer shell give one line and 1.
source "$(dirname "$0")/lib.sh"
start_compositor
add_sway_output || fail "no output added"
locker=(/usr/bin/python3 "$out/bin/stand-in-locker.py" --log "$out/logs/locker.log")

# expect_one_line WHAT EXPECTED: the program's standard error is that one line.
expect_one_line() {
    [[ $(<"$out/stderr") == "$2" ]] || fail "$1: said \"$(<"$out/stderr")\", not \"$2\""
    pass "$1: $2"
}
# Not a socket (/dev/null on 0), a number that names nothing open, not a number.
for handed in 0 9 wayland-1; do
    as_sway_user env -u WAYLAND_DISPLAY WAYLAND_SOCKET="$handed" "$out/bin/lumenweave-test" \
        --lock-background </dev/null >/dev/null 2>"$out/stderr"
    code=$?
    ((code == 1)) || fail "WAYLAND_SOCKET=$handed: exit code $code, expected 1"
    expect_one_line "WAYLAND_SOCKET=$handed" \
        "lumenweave: WAYLAND_SOCKET names no open socket (it is a screen locker's connection): $handed"
done

start_with=("${locker[@]}" --filter --hide zwlr_layer_shell_v1)
start --lock-background
expect_exit 1 "a server without the layer shell"
expect_one_line "a server without the layer shell" "lumenweave: the Wayland compositor has no layer \
shell (zwlr_layer_shell_v1); --saver and --lock-background need it"

# The desktop, to compare with while a program draws on another output.
shot HEADLESS-1 desktop-1 && shot HEADLESS-2 desktop-2 || fail "no pictures of the desktop"

rm -f "$out/logs/locker.log"
start_with=("${locker[@]}" --filter)
start --lock-background --seed 5
expect_figure HEADLESS-1 "one program for all outputs, on HEADLESS-1"
expect_figure HEADLESS-2 "one program for all outputs, on HEADLESS-2"
add_sway_output || fail "no output added"
expect_figure HEADLESS-3 "one program for all outputs, on HEADLESS-3 added while it runs"
hidden=$(grep '^hid ' "$out/logs/locker.log" | sort -u | tr '\n' ' ')
[[ $hidden == "hid wl_seat hid wl_subcompositor hid xdg_wm_base " ]] ||
    fail "the filter hid \"$hidden\", not the seat, the subcompositor and the window shell"
! grep '^refused ' "$out/logs/locker.log" || fail "the locker refused the program's requests"
pass "drawn without a seat, a window shell or a subcompositor, every layer surface on its output"
kill -USR1 "$pid"
expect_exit 0 "the locker closing the connection"
grep -qx "connection closed" "$log" || fail "no \"connection closed\" in the log"
[[ ! -s $out/stderr ]] || fail "the program said \"$(<"$out/stderr")\" as the locker closed"

# One program per output (the locker's --command-each), for an output its server has yet to
# offer: it says so once, draws on that output when it comes and nowhere else.
start_with=("${locker[@]}")
start_env=(SWAYLOCK_PLUGIN_OUTPUT_NAME=HEADLESS-4 SWAYLOCK_PLUGIN_OUTPUT_DESC="a headless output")
start --lock-background --seed 5
said_waiting() {
    seen=$(<"$out/stderr")
    [[ -n $seen ]]
}
await "the program saying it waits for HEADLESS-4" said_waiting
expect_one_line "an output not offered yet" "lumenweave: no such output yet; drawing once it \
comes: HEADLESS-4; the outputs are HEADLESS-1, HEADLESS-2, HEADLESS-3"
add_sway_output || fail "no output added"
expect_figure HEADLESS-4 "the program for HEADLESS-4"
for n in 1 2; do
    shot HEADLESS-$n beside-$n || fail "no picture of HEADLESS-$n"
    difference=$(compare -metric AE "$out/shots/desktop-$n.png" "$out/shots/beside-$n.png" null: 2>&1)
    [[ $difference == 0 ]] || fail "HEADLESS-$n changed in $difference pixels"
done
! grep -E '^(frame|surface) .*HEADLESS-[123]' "$log" || fail "the program drew beside HEADLESS-4"
pass "HEADLESS-1 and HEADLESS-2 show the desktop as before, and no surface of the program"
expect_one_line "an output not offered yet, once" "lumenweave: no such output yet; drawing once \
it comes: HEADLESS-4; the outputs are HEADLESS-1, HEADLESS-2, HEADLESS-3"
kill -TERM "$pid"
expect_exit 0 "the program for HEADLESS-4 on SIGTERM"
