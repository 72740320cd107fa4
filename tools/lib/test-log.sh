# The log of the test builds (lumenweave-test and Lumenweave-test.scr: one line an event on
# standard output), read for the end-to-end tests and the measuring scripts: its length, its lines
# after an offset, the fields of a frame line, a process's CPU time and the start-up figure.
# Sourced; the caller sets log (the log's file) and pid (the program that writes it).
. "$(dirname "${BASH_SOURCE[0]}")/wait.sh"

# A frame line is "frame ROLE WHERE T0 T1 PRESENTED FREQUENCY DEADLINE PRESENT STEP [RATE]": the
# surface's role ("master" or not) and place (an index or thread id, or a Wayland output), when
# its drawing began and ended, whether it was presented, the clock's ticks a second, the frame's
# deadline and when it was presented (ticks), the animation's steps so far (the picture shown)
# and, on Linux, the frame rate asked for. An awk program that reads them starts with
# $frame_fields and names the fields through it.
frame_fields='function is_frame() { return $1 == "frame" }
function frame_role() { return $2 }
function frame_where() { return $3 }
function frame_began() { return $4 }
function frame_presented() { return $6 }
function frame_frequency() { return $7 }
function frame_deadline() { return $8 }
function frame_present() { return $9 }
function frame_step() { return $10 }
function frame_rate() { return $11 }
'

# log_length: the lines of the log so far.
log_length() { wc -l 2>/dev/null <"$log" || echo 0; }

# log_after N: the lines of the log after its first N, without the carriage returns of Windows.
log_after() { tail -n +$(($1 + 1)) "$log" 2>/dev/null | tr -d '\r'; }

# frames_after N SURFACE: how many frames of SURFACE (a role or a place; "any" for every surface)
# the log holds after line N.
frames_after() {
    log_after "$1" | awk -v surface="$2" "$frame_fields"'
        is_frame() && (surface == "any" || frame_role() == surface || frame_where() == surface) { n++ }
        END { print n + 0 }'
}

# frame_columns SURFACE NAME...: for each frame line of SURFACE (a role or a place) on standard
# input, the fields NAME (began, deadline, present, step, rate), one line a frame.
frame_columns() {
    local surface=$1 fields
    shift
    fields=$(printf 'frame_%s(), ' "$@")
    awk -v surface="$surface" "$frame_fields"'
        is_frame() && (frame_role() == surface || frame_where() == surface) { print '"${fields%, }"' }'
}

# wait_frames N SECONDS [SURFACE]: waits until the log holds N frames of SURFACE (the master);
# false after SECONDS or once the program has ended without them.
wait_frames() {
    within "$2" frames_or_end "$1" "${3:-master}" && (($(frames_after 0 "${3:-master}") >= $1))
}
frames_or_end() { (($(frames_after 0 "$2") >= $1)) || ! kill -0 "$pid" 2>/dev/null; }

# A launcher that prints the monotonic clock, then becomes the program given after it: the
# start-up figure runs from there to the first present.
launcher=(python3 -c 'import os, sys, time
print("launch", time.monotonic_ns(), flush=True)
os.execv(sys.argv[1], sys.argv[1:])')

# cpu_ticks [PID]: the user plus system CPU time of the process (all threads; $pid by default)
# in clock ticks, from /proc/PID/stat.
cpu_ticks() {
    local stat fields
    stat=$(<"/proc/${1:-$pid}/stat") || return 1
    read -r -a fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

# print_startup: the time from the launch, and from the program's main, to the first present.
print_startup() {
    awk "$frame_fields"'$1 == "launch" { launch = $2 } $1 == "start" { start = $2 }
         is_frame() && !first { first = frame_present() }
         END { printf "start-up: launch to first present %.1f ms (main to first present %.1f ms)\n",
               (first - launch) / 1e6, (first - start) / 1e6 }' "$log"
}
