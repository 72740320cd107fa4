#!/usr/bin/env bash
# Measures frame pacing of the Linux program's test build (lumenweave-test, which prints one line
# per frame) in window mode on a private Xvfb at RATE frames a second (--frame-rate): the time
# from launch to the first presented frame, then, after a settling stretch, FRAMES frames: frames
# a second against the rate asked, interval, lateness and CPU figures (tools/pacing-summary.py).
# With PACING_LOGS=DIR the frame log is kept in DIR as x11.log.
# With PACING_HISTOGRAM=PNG it draws the histogram of intervals into PNG, beside those of the
# Windows program's log in PACING_WINDOWS_LOG if given (tools/measure-pacing.sh with PACING_LOGS).
#   bash tools/measure-pacing-x11.sh [FRAMES [RATE]]    (600 frames at 60)
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. "$root/tools/lib/display.sh"
. "$root/tools/lib/test-log.sh"
frames=${1:-600}
rate=${2:-60}
settle=60
program=$root/build/native/hosts/linux/lumenweave-test
[[ -x $program ]] || { echo "measure-pacing-x11: no $program (cmake --build --preset native)" >&2; exit 1; }

work=$(mktemp -d /tmp/lumenweave-pacing-x11.XXXXXX)
pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    stop_displays
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_x_server DISPLAY Xvfb -screen 0 1280x1024x24 -nolisten tcp || exit 1
export DISPLAY
log=$work/x11.log
"${launcher[@]}" "$program" --seed 1 --frame-rate "$rate" >"$log" 2>"$work/stderr" &
pid=$!

wait_frames "$settle" 60 || { echo "measure-pacing-x11: the program draws no frames: $(<"$work/stderr")" >&2; exit 1; }
start_frames=$(frames_after 0 master)
c0=$(cpu_ticks)
load0=$(cut -d' ' -f1 /proc/loadavg)
wait_frames $((start_frames + frames)) $((frames * 2 / rate + 60)) || { echo "measure-pacing-x11: too few frames" >&2; exit 1; }
c1=$(cpu_ticks)
end_frames=$(frames_after 0 master)
load1=$(cut -d' ' -f1 /proc/loadavg)
kill "$pid" && wait "$pid"
pid=

print_startup
[[ -n ${PACING_LOGS:-} ]] && mkdir -p "$PACING_LOGS" && cp "$log" "$PACING_LOGS/"
python3 "$root/tools/pacing-summary.py" "$log" --skip "$start_frames" \
    --frames $((end_frames - start_frames)) \
    --cpu-seconds "$(awk -v a="$c0" -v b="$c1" -v t="$(getconf CLK_TCK)" 'BEGIN { print (b - a) / t }')" \
    --label "Linux, one window at --frame-rate $rate ($((end_frames - start_frames)) frames; load average $load0 .. $load1)"
if [[ -n ${PACING_HISTOGRAM:-} ]]; then
    hosts=("Linux, lumenweave on Xvfb=$log:$start_frames")
    [[ -n ${PACING_WINDOWS_LOG:-} ]] && hosts+=("Windows, Lumenweave.scr under Wine=$PACING_WINDOWS_LOG")
    python3 "$root/tools/pacing-histogram.py" "$PACING_HISTOGRAM" "${hosts[@]}"
fi
