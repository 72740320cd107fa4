#!/usr/bin/env bash
# Measures frame pacing of the test build (Lumenweave-test.scr, which prints one line per frame)
# under Wine and Xvfb: a stretch of frames with one window, then with a master and three clones
# (key N pressed three times), and prints interval, lateness, skipped-frame and CPU figures.
#   bash tools/measure-pacing.sh [FRAMES [CASES]]    (600 frames; CASES: both, one or clones)
# With PACING_LOGS=DIR the frame logs are kept in DIR.
# Needs the Windows build (cmake --preset windows && cmake --build --preset windows).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. "$root/tools/lib/wine.sh"
. "$root/tools/lib/test-log.sh"
frames=${1:-600}
cases=${2:-both}
# Frames left to settle after the last window has appeared, before measuring starts.
settle=60

if [[ ! -f $test_saver ]]; then
    echo "measure-pacing: no $test_saver (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 1
fi
# Run alone, it brings up a throw-away Windows environment first.
if [[ -z ${LUMENWEAVE_WINE_DISPLAY1:-} ]]; then
    exec bash "$root/tools/lib/with-wine.sh" bash "$0" "$@"
fi
use_monitors 1

work=$(mktemp -d /tmp/lumenweave-pacing.XXXXXX)
pid=
cleanup() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ticks_per_second=$(getconf CLK_TCK)

clones_shown() {
    (($(xdotool search --onlyvisible --name '^Lumenweave \(clone\)$' 2>/dev/null | wc -l) >= $1))
}
program_ended() { ! kill -0 "$pid" 2>/dev/null; }
# windows_draw N: whether N windows, each a thread of its own in the log, have drawn.
windows_draw() {
    threads=$(log_after 0 | awk "$frame_fields"'is_frame() { print frame_where() }' | sort -u | wc -l)
    ((threads >= $1))
}

# Closes the program's windows, clones first, until it ends; stops it if they will not close.
close_program() {
    local try id
    for ((try = 0; try < 8; try++)); do
        id=$(xdotool search --onlyvisible --name '^Lumenweave \((clone|master)\)$' 2>/dev/null |
            tail -1)
        [[ -n $id ]] && send_keys "$id" alt+F4
        within 3 program_ended && return 0
    done
    kill "$pid" 2>/dev/null
    return 1
}

# measure LABEL CLONES: one run of the program in application mode.
measure() {
    local label=$1 clones=$2 log=$work/$1.log id i threads start_frames end_frames c0 c1
    wine "$test_saver" >"$log" 2>/dev/null &
    pid=$!
    id=$(find_window "Lumenweave (master)" 30) || { echo "$label: no master window" >&2; return 1; }
    wait_frames 30 60 || { echo "$label: the master draws no frames" >&2; return 1; }
    # One N at a time, each once the clone of the one before shows.
    for ((i = 1; i <= clones; i++)); do
        send_keys "$id" n
        within 60 clones_shown "$i" || { echo "$label: no clone $i" >&2; return 1; }
    done
    # Every clone has a thread of its own in the log once it draws.
    within 60 windows_draw $((clones + 1)) ||
        { echo "$label: $threads of $((clones + 1)) windows draw" >&2; return 1; }
    wait_frames $(($(frames_after 0 master) + settle)) 60 || return 1

    start_frames=$(frames_after 0 master)
    c0=$(cpu_ticks "$pid") || return 1
    local load0 load1
    load0=$(cut -d' ' -f1 /proc/loadavg)
    wait_frames $((start_frames + frames)) $((frames / 10 + 60)) || {
        echo "$label: fewer than $frames frames in time" >&2
        return 1
    }
    c1=$(cpu_ticks "$pid") || return 1
    end_frames=$(frames_after 0 master)
    load1=$(cut -d' ' -f1 /proc/loadavg)

    close_program || echo "$label: the program did not end when its windows were closed" >&2
    wait "$pid" 2>/dev/null
    pid=

    [[ -n ${PACING_LOGS:-} ]] && mkdir -p "$PACING_LOGS" && cp "$log" "$PACING_LOGS/"
    python3 "$root/tools/pacing-summary.py" "$log" --skip "$start_frames" \
        --frames $((end_frames - start_frames)) \
        --cpu-seconds "$(awk -v a="$c0" -v b="$c1" -v t="$ticks_per_second" 'BEGIN { print (b - a) / t }')" \
        --label "$label ($((end_frames - start_frames)) master frames; load average $load0 .. $load1)"
}

status=0
if [[ $cases != clones ]]; then
    measure "one window" 0 || status=1
fi
if [[ $cases != one ]]; then
    measure "master and three clones" 3 || status=1
fi
exit $status
