# Shared helpers of the Wayland tests: a headless sway of its own run as an unprivileged user
# (tools/lib/headless-sway.sh: sway refuses root), the test build of the program and the input
# helper run as that user, pictures of one output. Sourced by each test_*.sh. Every wait is for something the program's log
# (lumenweave-test: frames, surface sizes, keyboard focus, pointer verdicts, outputs) or sway says,
# bounded generously for a busy machine; whatever a test starts is ended with it.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# A script whose figure is one square spinning about the middle: nothing else is lit, at any step.
square_script=$here/../x11/centred-square.txt
. "$here/../lib/program.sh"
. "$here/../../tools/lib/headless-sway.sh"
build=${LUMENWEAVE_NATIVE_BUILD_DIR:-$here/../../build/native}
program=$build/hosts/linux/lumenweave-test
vinput=$build/tests/wayland/lumenweave-vinput

for f in "$program" "$vinput"; do
    [[ -x $f ]] || { echo "SKIP: no $f (cmake --build --preset native)"; exit 77; }
done
for tool in sway grim swayidle setpriv /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (tools/install-deps.sh)"; exit 77; }
done
((EUID == 0)) || { echo "SKIP: needs root to make the compositor's user"; exit 77; }

# Mesa's EGL driver keeps allocations to the end, as its GLX driver does in the X11 tests; the
# setting reaches the program through sway_env.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
exit_wait=$wait_bound

out=$(mktemp -d /tmp/lumenweave-wayland.XXXXXX)
sway_dir=$out
sway_user_ready || fail "cannot make the user $sway_user"
# The programs where the user can run them, and folders the user can write.
mkdir -m 755 "$out/bin"
install -m 755 "$program" "$vinput" "$here/../../tools/lib/stand-in-locker.py" "$out/bin/"
# swaymsg gives up after 3 s without an answer, which a sway compositing several outputs in
# software on a loaded machine exceeds; the session's swaymsg (first on its PATH) waits
# $wait_bound.
install -m 755 "$here/../../tools/lib/sway-ipc.py" "$out/bin/swaymsg"
mkdir -m 777 "$out/shots" "$out/logs"
sway_env=(PATH="$out/bin:/usr/bin:/bin" SWAY_IPC_WAIT="$wait_bound" ASAN_OPTIONS="$ASAN_OPTIONS")

cleanup() {
    end_started
    stop_sway
    rm -rf "$out"
}
trap cleanup EXIT
[[ -z ${LUMENWEAVE_KEEP:-} ]] || trap - EXIT
trap 'exit 130' INT TERM

# start_compositor [CONFIG LINE]: the headless sway, with one output (HEADLESS-1) and no
# background program, whose surface would hide the saver's on the background layer.
start_compositor() {
    start_sway "${1:-}" 2>"$out/sway.err" || fail "no sway: $(<"$out/sway.err")"
}

# has_outputs PATTERN: whether the outputs, one "NAME X Y W H SCALE" a line, match the extended
# regular expression PATTERN (anchored at a line's start); $seen holds them.
has_outputs() {
    local list
    list=$(sway_outputs) || return 1
    seen=$(tr '\n' ';' <<<"$list")
    grep -Eq "^$1" <<<"$list"
}

# start_nested_sway: a second sway nested in the first, its two outputs (WL-1, WL-2) windows there
# titled "wlroots - WL-1" and so on; closing such a window unplugs that output, which the headless
# outputs of this sway cannot be (see test_saver.sh). Programs and swaymsg go to it until
# end_nested_sway; on_outer runs a command as the user in the first one meanwhile.
start_nested_sway() {
    outer_display=$sway_display outer_socket=$sway_socket
    sway_session
    "${sway_prefix[@]}" WLR_BACKENDS=wayland WLR_WL_OUTPUTS=2 WLR_RENDERER=pixman \
        sway -c "$out/sway.conf" >"$out/nested.log" 2>&1 &
    nested_pid=$!
    started+=("$nested_pid")
    sway_socket=$out/run/sway-ipc.$(id -u "$sway_user").$nested_pid.sock
    await "the nested sway's socket" nested_socket
    await "the nested sway answering on $sway_display" sway_answers "$out/nested.log"
    # Its outputs take the sizes of their windows, which change as the first sway tiles them.
    await "the nested sway's outputs as large as their windows" nested_outputs_settled
}
nested_socket() {
    sway_display=$(cd "$out/run" && ls wayland-? wayland-?? 2>/dev/null | grep -vx "$outer_display" |
        head -1)
    seen=$(ls "$out/run" | tr '\n' ' ')
    [[ -n $sway_display ]]
}
nested_outputs_settled() {
    local windows list
    windows=$(on_outer swaymsg -t get_tree -r | python3 -c 'import json, sys
def walk(node):
    if node.get("name", "").startswith("wlroots - "):
        print(node["name"][10:], node["window_rect"]["width"], node["window_rect"]["height"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' | sort)
    list=$(sway_outputs | awk '{ print $1, $4, $5 }' | sort)
    seen="windows $(tr '\n' ';' <<<"$windows") outputs $(tr '\n' ';' <<<"$list")"
    [[ $(grep -c '^WL-' <<<"$list") == 2 && $windows == "$list" ]]
}
on_outer() { sway_display=$outer_display sway_socket=$outer_socket as_sway_user "$@"; }
end_nested_sway() {
    kill "$nested_pid" && timeout "$wait_bound" tail --pid="$nested_pid" -f /dev/null ||
        fail "the nested sway did not end"
    sway_display=$outer_display sway_socket=$outer_socket
}

# output_gone NAME: whether sway lists no output NAME.
output_gone() {
    local list
    list=$(sway_outputs) || return 1
    seen=$(tr '\n' ';' <<<"$list")
    ! grep -q "^$1 " <<<"$list"
}

# set_output NAME SETTING... (e.g. scale 2): applies it through sway, which on this headless
# backend may say "success" and change nothing; the caller confirms the effect with has_outputs.
set_output() { as_sway_user swaymsg output "$@" >/dev/null || fail "swaymsg output $* failed"; }

# start ARGS...: the program as the user (the kit's start_program). It does not inherit the input
# helper's standard input, which would keep the helper from ending while it runs. Variables for
# its environment (WAYLAND_DEBUG=1) may come in start_env, and a launcher before the program in
# start_with (the stand-in locker, tools/lib/stand-in-locker.py, whose pid pid then is).
start_env=()
start_with=()
start() {
    sway_session
    start_program "${sway_prefix[@]}" "${start_env[@]}" "${start_with[@]}" \
        "$out/bin/lumenweave-test" "$@"
}

# expect_no_inhibitor WHAT: the protocol log in $out/stderr (a run started with WAYLAND_DEBUG=1)
# holds the program's requests and none that would keep the machine awake: no idle inhibitor, not
# even a binding of the manager that makes them.
expect_no_inhibitor() {
    grep -q -- '-> wl_surface@[0-9]*\.commit()' "$out/stderr" || fail "$1: no protocol log"
    ! grep -m1 -- '-> .*idle_inhibit' "$out/stderr" || fail "$1: an idle inhibitor requested"
    pass "$1: no idle inhibitor in $(grep -c -- ' -> ' "$out/stderr") requests"
}

# Input through lumenweave-vinput (pointer or keyboard), one step at a time: start_input starts it
# (its device appears on the seat), input_step LINE sends a step and waits until the compositor
# has taken it, stop_input ends it (the device goes).
start_input() {
    rm -f "$out/input"
    mkfifo "$out/input"
    : >"$out/input.log"  # not the last helper's lines
    sway_session
    "${sway_prefix[@]}" "$out/bin/lumenweave-vinput" "$1" <"$out/input" >"$out/input.log" 2>&1 &
    input_pid=$!
    started+=("$input_pid")
    exec {input_fd}>"$out/input"
    private_fds=("$input_fd")
    await "the input helper's $1" input_done 0
}
input_step() {
    local done
    done=$(grep -c '' "$out/input.log")
    echo "$1" >&"$input_fd"
    await "the input helper's step $1" input_done "$done"
}
input_done() {
    seen=$(tail -1 "$out/input.log")
    (($(grep -c '' "$out/input.log") > $1)) && return 0
    kill -0 "$input_pid" 2>/dev/null || fail "the input helper ended: $(<"$out/input.log")"
    return 1
}
stop_input() {
    exec {input_fd}>&-
    private_fds=()
    timeout "$wait_bound" tail --pid="$input_pid" -f /dev/null || fail "the input helper did not end"
}

# shot OUTPUT NAME: a picture of the output in $out/shots/NAME.png.
shot() { as_sway_user timeout "$wait_bound" grim -o "$1" "$out/shots/$2.png"; }

# expect_readout OUTPUT WHAT: in a picture of OUTPUT taken after the program has drawn on it again,
# the --fps readout stands in its top-left corner, 8 px in and 10 to 19 px high, in the output's
# own pixels.
expect_readout() {
    local box
    await_frames "$1" 2
    shot "$1" readout || fail "$2: no picture of $1"
    box=$(/usr/bin/convert "$out/shots/readout.png" -crop 400x40+0+0 +repage -fuzz 8% \
        -format %@ info:)
    [[ $box =~ ^[0-9]+x1[0-9]\+8\+8$ ]] || fail "$2: the readout stands at $box, not 8 px in"
    pass "$2: the readout at $box"
}

# expect_scaled_readout ROLE WHAT: HEADLESS-1 (1280 x 720) set to scale 2, the program's ROLE
# surface there takes the output's own pixels, and the readout stands in them as at scale 1.
expect_scaled_readout() {
    local since
    since=$(log_length)
    set_output HEADLESS-1 scale 2
    await "HEADLESS-1 at scale 2" has_outputs "HEADLESS-1 0 0 640 360 2.0"
    await_line "$2: the surface in the output's pixels" "^surface $1 HEADLESS-1 1280x720 scale 2$" \
        "$since"
    expect_readout HEADLESS-1 "$2"
}

# expect_figure OUTPUT WHAT: two pictures of OUTPUT, the first after the program has drawn on it
# and the second after it has drawn twice more, show the figure lit, moving, and standing in the
# middle of the output: the middle of the lit part lies within a quarter of the output's size of
# the output's middle.
expect_figure() {
    local verdict
    await_frames "$1" 1
    shot "$1" a || fail "$2: no picture of $1"
    await_frames "$1" 2
    shot "$1" b || fail "$2: no picture of $1"
    verdict=$(python3 - "$out/shots/a.png" "$out/shots/b.png" <<'PY'
import subprocess, sys
def info(path, fmt):
    return subprocess.run(["/usr/bin/convert", path, "-fuzz", "8%", "-format", fmt,
                           "info:"], capture_output=True, text=True).stdout
size = subprocess.run(["/usr/bin/convert", sys.argv[1], "-format", "%w %h", "info:"],
                      capture_output=True, text=True).stdout.split()
w, h = int(size[0]), int(size[1])
box = info(sys.argv[1], "%@")  # WxH+X+Y of the lit part
change = subprocess.run(["compare", "-metric", "RMSE", sys.argv[1], sys.argv[2], "null:"],
                        capture_output=True, text=True).stderr
try:
    bw, rest = box.split("x"); bh, bx, by = rest.split("+")
    cx, cy = int(bx) + int(bw) / 2, int(by) + int(bh) / 2
    moved = float(change.split("(")[1].rstrip(")")) > 0
except (ValueError, IndexError):
    print("nothing lit"); sys.exit(1)
lit = int(bw) > 8 and int(bh) > 8
centred = abs(cx - w / 2) < w / 4 and abs(cy - h / 2) < h / 4
print(f"{w}x{h}, figure {box} centred at {cx:.0f},{cy:.0f}, moving {moved}")
sys.exit(0 if lit and centred and moved else 1)
PY
) || fail "$2: no figure in the middle, moving: $verdict"
    pass "$2: $verdict"
}
