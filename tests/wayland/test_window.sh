#!/usr/bin/env bash
# Window mode under headless sway (chosen by WAYLAND_DISPLAY alone): the window "Lumenweave"
# draws the figure (the built-in one, a broken script reported), N opens "Lumenweave (mirror)"
# that draws it too, F makes it full screen, Escape on it closes the mirror alone, Escape on the
# window ends the run with 0; on an output of scale 2 it draws in the output's own pixels.
source "$(dirname "$0")/lib.sh"
# Without borders and title bars, whose colours would pass for a figure.
start_sway "default_border none"

# window_count TITLE: windows of that title in sway's tree.
window_count() { as_user swaymsg -t get_tree | grep -c "\"name\": \"$1\""; }
wait_windows() {
    local deadline=$((SECONDS + 10))
    until [[ $(window_count "$1") == "$2" ]]; do
        ((SECONDS < deadline)) || fail "$3: $(window_count "$1") windows titled $1, expected $2"
        sleep 0.1
    done
}
key() { as_user timeout 10 wtype -s 300 -k "$1" || fail "wtype $1 failed"; }

# A script with problems is reported, and the built-in one runs instead of a black window.
printf 'seqname: 1\nactset: 2000, 1\n' >"$out/broken.txt"
chmod 644 "$out/broken.txt"
start --seed 9 --script "$out/broken.txt"
wait_windows Lumenweave 1 "window mode"
expect_figure HEADLESS-1 "window mode with a broken script"
grep -qF "$out/broken.txt:2: actuator 2000" "$out/stderr" &&
    grep -qF "lumenweave: the script has the problems above" "$out/stderr" ||
    fail "broken script: $(<"$out/stderr")"
pass "a broken script is reported line by line"

key n
wait_windows "Lumenweave (mirror)" 1 "N"
# Sway tiles the two side by side: the figure stands in the middle of each half.
shot HEADLESS-1 tiled
python3 - "$out/shots/tiled.png" <<'PY' || fail "N: the mirror does not show the figure beside the window"
import subprocess, sys
def lit(crop):
    box = subprocess.run(["/usr/bin/convert", sys.argv[1], "-crop", crop, "+repage", "-fuzz", "8%",
                          "-format", "%@", "info:"], capture_output=True, text=True).stdout
    return not box.startswith("0x0")
sys.exit(0 if lit("640x720+0+0") and lit("640x720+640+0") else 1)
PY
pass "N: the mirror draws beside the window"

# F on the mirror, which has the focus: sway makes it full screen.
key f
deadline=$((SECONDS + 10))
until as_user swaymsg -t get_tree | grep -q '"fullscreen_mode": 1'; do
    ((SECONDS < deadline)) || fail "F: no window went full screen"
    sleep 0.1
done
expect_figure HEADLESS-1 "F: full screen"

key Escape
wait_windows "Lumenweave (mirror)" 0 "Escape on the mirror"
expect_running "Escape on the mirror"
key Escape
expect_exit 0 "Escape on the window"

# A window on an output of scale 2 takes the output's scale, as the saver's surfaces do.
start --fps
wait_windows Lumenweave 1 "window mode with --fps"
as_user swaymsg output HEADLESS-1 scale 2 >/dev/null || fail "cannot scale HEADLESS-1"
expect_readout HEADLESS-1 "a window on an output of scale 2"
