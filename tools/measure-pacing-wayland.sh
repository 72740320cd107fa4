#!/usr/bin/env bash
# Measures frame pacing of the Linux program's test build (lumenweave-test, one line per surface
# and frame) as `--saver` under a headless sway with two outputs (1280 x 720 and 1920 x 1080):
# the time from launch to the first presented frame, then, after a settling stretch, FRAMES
# frames of the first output: intervals per output, lateness and CPU per frame
# (tools/pacing-summary.py), and the compositor's CPU per frame. Runs as root; sway and the
# program run as an unprivileged user (tools/lib/headless-sway.sh).
#   bash tools/measure-pacing-wayland.sh [FRAMES [OUTPUTS [RATE]]]    (600 frames, 2 outputs, 60)
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -uo pipefail
frames=${1:-600}
outputs=${2:-2}
rate=${3:-60}
settle=60
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/lib/sway-measurement.sh"
source "$root/tools/lib/test-log.sh"
sway_measurement measure-pacing-wayland \
    "${LUMENWEAVE_NATIVE_BUILD_DIR:-$root/build/native}/hosts/linux/lumenweave-test" "$outputs"
log=$work/wayland.log
sway_session
"${sway_prefix[@]}" "${launcher[@]}" "$work/bin/lumenweave-test" --saver --seed 1 \
    --frame-rate "$rate" >"$log" 2>"$work/stderr" &
pid=$!

wait_frames "$settle" 60 || fail "the program draws no frames: $(<"$work/stderr")"
start_frames=$(frames_after 0 master)
c0=$(cpu_ticks)
s0=$(cpu_ticks "$sway_pid")
load0=$(cut -d' ' -f1 /proc/loadavg)
wait_frames $((start_frames + frames)) $((frames * 5 / rate + 60)) || fail "too few frames"
c1=$(cpu_ticks)
s1=$(cpu_ticks "$sway_pid")
end_frames=$(frames_after 0 master)
load1=$(cut -d' ' -f1 /proc/loadavg)
kill "$pid" && wait "$pid"
pid=

print_startup
# The compositor composites both outputs in software (pixman): its share sets the pace here.
awk -v a="$s0" -v b="$s1" -v t="$(getconf CLK_TCK)" -v n=$((end_frames - start_frames)) \
    'BEGIN { printf "compositor (sway) cpu per master frame %.3f ms\n", (b - a) / t / n * 1000 }'
python3 "$root/tools/pacing-summary.py" "$log" --skip "$start_frames" \
    --frames $((end_frames - start_frames)) \
    --cpu-seconds "$(awk -v a="$c0" -v b="$c1" -v t="$(getconf CLK_TCK)" 'BEGIN { print (b - a) / t }')" \
    --label "Wayland, --saver --frame-rate $rate on $outputs output(s) under headless sway ($((end_frames - start_frames)) frames; load average $load0 .. $load1)"
