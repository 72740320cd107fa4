# The frame log of lumenweave-test (one line per surface and frame), shared by the Linux pacing
# measurements: the launcher that notes the launch, the master's frames so far, a process's CPU
# time and the start-up figure. Sourced; the caller sets log and pid.

# A launcher that prints the monotonic clock, then becomes the program given after it: the
# start-up figure runs from there to the first present.
launcher=(python3 -c 'import os, sys, time
print("launch", time.monotonic_ns(), flush=True)
os.execv(sys.argv[1], sys.argv[1:])')

master_frames() { grep -c '^frame master ' "$log"; }

# wait_frames N SECONDS: waits until the log holds N master frames; false after SECONDS or
# once the program has ended.
wait_frames() {
    local deadline=$((SECONDS + $2))
    while (($(master_frames) < $1)); do
        ((SECONDS < deadline)) && kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.05
    done
}

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
    awk '$1 == "launch" { launch = $2 } $1 == "start" { start = $2 }
         $1 == "frame" && !first { first = $9 }
         END { printf "start-up: launch to first present %.1f ms (main to first present %.1f ms)\n",
               (first - launch) / 1e6, (first - start) / 1e6 }' "$log"
}
