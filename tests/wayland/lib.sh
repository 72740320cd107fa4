# Shared helpers of the Wayland tests: a headless sway of its own run as an unprivileged user
# (sway refuses root), the program and the helpers run as that user, pictures of one output.
# Sourced by each test_*.sh; every wait is bounded, and whatever a test starts is ended with it.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../lib/program.sh"
build=${LUMENWEAVE_NATIVE_BUILD_DIR:-$here/../../build/native}
program=$build/hosts/linux/lumenweave
vpointer=$build/tests/wayland/lumenweave-vpointer

for f in "$program" "$vpointer"; do
    [[ -x $f ]] || { echo "SKIP: no $f (cmake --build --preset native)"; exit 77; }
done
for tool in sway grim wtype swayidle setpriv /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (tools/install-deps.sh)"; exit 77; }
done
((EUID == 0)) || { echo "SKIP: needs root to make the compositor's user"; exit 77; }

# Mesa's EGL driver keeps allocations to the end, as its GLX driver does in the X11 tests; the
# setting reaches the program through session_prefix.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

user=lumenweave-saver
id -u "$user" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$user" ||
    fail "cannot make the user $user"

out=$(mktemp -d /tmp/lumenweave-wayland.XXXXXX)
chmod 755 "$out"
# The programs where the user can run them, and folders the user can write.
mkdir -m 755 "$out/bin"
install -m 755 "$program" "$vpointer" "$out/bin/"
mkdir -m 700 "$out/run"
mkdir -m 777 "$out/shots"
chown "$user" "$out/run"
sway_pid=

cleanup() {
    end_started
    rm -rf "$out"
}
trap cleanup EXIT
[[ -z ${LUMENWEAVE_KEEP:-} ]] || trap - EXIT
trap 'exit 130' INT TERM

# The command prefix that runs a program as the test user in the compositor's session, in
# $as_user_prefix; setpriv and env exec the program, so that a pid taken of it is its own. An
# empty SWAYSOCK would be the path sway itself binds its IPC socket to.
session_prefix() {
    as_user_prefix=(setpriv --reuid="$user" --regid="$user" --clear-groups env -i PATH=/usr/bin:/bin
        XDG_RUNTIME_DIR="$out/run" WAYLAND_DISPLAY=wayland-1 ${swaysock:+SWAYSOCK="$swaysock"}
        ASAN_OPTIONS="$ASAN_OPTIONS")
}
as_user() {
    session_prefix
    "${as_user_prefix[@]}" "$@"
}

# start_sway [CONFIG LINE]: a headless sway with one output (HEADLESS-1) and no background
# program, whose surface would hide the saver's on the background layer.
start_sway() {
    printf '%s\n' "${1:-}" >"$out/sway.conf"
    chmod 644 "$out/sway.conf"
    session_prefix
    "${as_user_prefix[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$out/sway.conf" >"$out/sway.log" 2>&1 &
    sway_pid=$!
    started+=("$sway_pid")
    local deadline=$((SECONDS + 20))
    until [[ -S $out/run/wayland-1 ]] && swaysock=$(ls "$out"/run/sway-ipc.*.sock 2>/dev/null) &&
        as_user swaymsg -t get_outputs >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "sway did not start within 20 s: $(<"$out/sway.log")"
        sleep 0.1
    done
}

# add_output: one more headless output; prints nothing, waits until sway lists it.
add_output() {
    local before
    before=$(output_count)
    as_user swaymsg create_output >/dev/null || fail "swaymsg create_output failed"
    local deadline=$((SECONDS + 10))
    until (($(output_count) > before)); do
        ((SECONDS < deadline)) || fail "no new output within 10 s"
        sleep 0.1
    done
}
output_count() { as_user swaymsg -t get_outputs -r | grep -c '"name"'; }

# start ARGS...: the program as the user, in the background; output in $out/stdout, stderr.
start() {
    session_prefix
    "${as_user_prefix[@]}" "$out/bin/lumenweave" "$@" >"$out/stdout" 2>"$out/stderr" &
    pid=$!
    started+=("$pid")
}

# shot OUTPUT NAME: a picture of the output in $out/shots/NAME.png.
shot() { as_user timeout 10 grim -o "$1" "$out/shots/$2.png"; }

# expect_readout OUTPUT WHAT: within 5 s, the --fps readout stands in the output's top-left
# corner, 8 px in and 10 to 19 px high, in the output's own pixels.
expect_readout() {
    local deadline=$((SECONDS + 5)) box=
    until shot "$1" readout && box=$(/usr/bin/convert "$out/shots/readout.png" -crop 400x40+0+0 \
        +repage -fuzz 8% -format %@ info:) && [[ $box =~ ^[0-9]+x1[0-9]\+8\+8$ ]]; do
        ((SECONDS < deadline)) || fail "$2: the readout stands at $box, not 8 px in"
        sleep 0.2
    done
    pass "$2: the readout at $box"
}

# expect_figure OUTPUT WHAT: within 10 s, two pictures half a second apart show the figure lit,
# moving, and standing in the middle of the output: the middle of the lit part lies within a
# quarter of the output's size of the output's middle.
expect_figure() {
    local deadline=$((SECONDS + 10)) verdict
    while :; do
        if shot "$1" a && sleep 0.5 && shot "$1" b; then
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
) && { pass "$2: $verdict"; return; }
        fi
        ((SECONDS < deadline)) || fail "$2: no figure in the middle, moving: ${verdict:-no picture}"
        sleep 0.3
    done
}
