#!/usr/bin/env bash
# --saver on X11 with two monitors of different sizes (Xephyr's Xinerama heads, nested in Xvfb):
# the figure stands in the middle of each, a move of 2 px is survived, a key or a move of 10 px
# ends it with 0; a monitor that changes its size is followed.
source "$(dirname "$0")/lib.sh"
start_x_server outer Xvfb -screen 0 1440x600x24 -nolisten tcp || fail "no outer X display"
start_x_server DISPLAY env DISPLAY="$outer" Xephyr +xinerama -screen 800x600 -screen 640x480 \
    -nolisten tcp || fail "no Xephyr"
export DISPLAY

# The test build, which says when its grabs are on and how it judged each pointer motion.
start "$test_program" --saver --seed 3
# figure_in GEOMETRY: the middle of the lit part of that part of the screen lies within a
# quarter of its size of its middle.
figure_in() {
    python3 - "$out/root.png" "$1" <<'PY'
import subprocess, sys
w, rest = sys.argv[2].split("x"); h, x, y = (int(v) for v in rest.split("+")); w = int(w)
box = subprocess.run(["/usr/bin/convert", sys.argv[1], "-crop", sys.argv[2], "+repage", "-fuzz",
                      "8%", "-format", "%@", "info:"], capture_output=True, text=True).stdout
bw, rest = box.split("x"); bh, bx, by = (int(v) for v in rest.split("+")); bw = int(bw)
cx, cy = bx + bw / 2, by + bh / 2
print(f"figure {box} in {sys.argv[2]}")
sys.exit(0 if bw > 8 and bh > 8 and abs(cx - w / 2) < w / 4 and abs(cy - h / 2) < h / 4 else 1)
PY
}
both_figures() {
    shot root "$out/root.png" && left=$(figure_in 800x600+0+0) && right=$(figure_in 640x480+800+0) ||
        { seen="${left:-} ${right:-}"; false; }
}
await "a figure in the middle of both monitors" both_figures
pass "both monitors: $left; $right"

# move_to X Y VERDICT WHAT: moves the pointer to X, Y once the program has judged the move
# before, and waits until it has judged this one VERDICT (origin, near or away).
move_to() {
    local seen
    seen=$(log_length)
    xdotool mousemove "$1" "$2" || fail "$4: xdotool mousemove $1 $2"
    await_line "$4" "^pointer " "$seen"
    [[ $line == "pointer $1 $2 $3" ]] || fail "$4: the program saw \"$line\", not \"pointer $1 $2 $3\""
}
await_line "--saver's grabs" '^grabbed$'
move_to 300 300 origin "the first move"
move_to 302 301 near "a move of 2 px"
# Each step within 4 px (horizontal plus vertical) of the one before is followed, however far
# the steps drift from the first move.
move_to 304 303 near "a move of 2+2 px"
move_to 306 304 near "a move of 2+1 px, 6 px from the first move"
kill -0 "$pid" 2>/dev/null || fail "moves of up to 4 px ended it"
pass "moves of up to 4 px are followed"
xdotool key space
expect_exit 0 "a key"
expect_no_x_dump "--saver"

start "$test_program" --saver
await_line "--saver's grabs" '^grabbed$'
move_to 300 300 origin "the first move"
move_to 303 302 away "a diagonal move of 3+2 px"
expect_exit 0 "a diagonal move of 3+2 px"

# A monitor whose size changes while it runs (a new mode of the one output of an Xvfb): the
# window follows it, the figure in its middle.
start_display
start "$test_program" --saver --script "$square_script"
window=$(find_window Lumenweave) || fail "no saver window on Xvfb"
# Its grabs come after it asked for XRandR's notifications, so that no change goes unseen.
await_line "--saver's grabs on Xvfb" '^grabbed$'
{ xrandr --newmode 800x600_lw 29.5 800 824 896 992 600 603 607 624 &&
    xrandr --addmode screen 800x600_lw && xrandr --output screen --mode 800x600_lw; } ||
    fail "xrandr could not make the monitor 800 x 600"
expect_centred "$window" 800 600 "the monitor made 800 x 600"
