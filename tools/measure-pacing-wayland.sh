#!/usr/bin/env bash
# Measures frame pacing of the Linux program's test build (lumenweave-test, one line per surface
# and frame) as `--saver` under a headless sway with two outputs (1280 x 720 and 1920 x 1080):
# the time from launch to the first presented frame, then, after a settling stretch, FRAMES
# frames of the first output: intervals per output, lateness and CPU per frame
# (tools/pacing-summary.py), and the compositor's CPU per frame. Runs as root; sway and the
# program run as the Wayland tests' user.
#   bash tools/measure-pacing-wayland.sh [FRAMES [OUTPUTS]]    (600 frames, 2 outputs)
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -uo pipefail
frames=${1:-600}
outputs=${2:-2}
rate=${3:-60}
settle=60
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/wayland/lib.sh"
source "$root/tools/frame-log.sh"
test_program=$build/hosts/linux/lumenweave-test
[[ -x $test_program ]] || fail "no $test_program (cmake --build --preset native)"
install -m 755 "$test_program" "$out/bin/"

start_sway
((outputs < 2)) || add_output
log=$out/wayland.log
session_prefix
"${as_user_prefix[@]}" "${launcher[@]}" "$out/bin/lumenweave-test" --saver --seed 1 --frame-rate "$rate" >"$log" \
    2>"$out/stderr" &
pid=$!
started+=("$pid")

wait_frames "$settle" 60 || fail "the program draws no frames: $(<"$out/stderr")"
start_frames=$(master_frames)
c0=$(cpu_ticks)
s0=$(cpu_ticks "$sway_pid")
load0=$(cut -d' ' -f1 /proc/loadavg)
wait_frames $((start_frames + frames)) $((frames * 5 / rate + 60)) || fail "too few frames"
c1=$(cpu_ticks)
s1=$(cpu_ticks "$sway_pid")
end_frames=$(master_frames)
load1=$(cut -d' ' -f1 /proc/loadavg)
kill "$pid" && wait "$pid"

print_startup
# The compositor composites both outputs in software (pixman): its share sets the pace here.
awk -v a="$s0" -v b="$s1" -v t="$(getconf CLK_TCK)" -v n=$((end_frames - start_frames)) \
    'BEGIN { printf "compositor (sway) cpu per master frame %.3f ms\n", (b - a) / t / n * 1000 }'
python3 "$root/tools/pacing-summary.py" "$log" --skip "$start_frames" \
    --frames $((end_frames - start_frames)) \
    --cpu-seconds "$(awk -v a="$c0" -v b="$c1" -v t="$(getconf CLK_TCK)" 'BEGIN { print (b - a) / t }')" \
    --label "Wayland, --saver --frame-rate $rate on $outputs output(s) under headless sway ($((end_frames - start_frames)) frames; load average $load0 .. $load1)"
