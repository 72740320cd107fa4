# The program under test in the end-to-end shell tests (tests/x11/, tests/wayland/, tests/wine/):
# a verdict line, the processes a test started, and waiting for the program to end. A test's
# lib.sh sources it, sets out (its scratch folder) and starts the program into pid, its standard
# error into $out/stderr if it keeps it.
started=()        # pids this test started, ended in reverse order at exit
pid=              # the program under test; emptied once it has ended and been waited for
exit_wait=10      # seconds expect_exit waits by default
running_wait=0.5  # seconds expect_running waits by default

# fail WHAT: the verdict, with the state of the program under test: whether it still runs, and the
# last lines of its standard error where the test keeps it, so that a wait that ran out tells a
# program that died from one that hung or was slow.
fail() {
    echo "FAIL: $*$(program_state)"
    exit 1
}
program_state() {
    local state=
    if [[ -n $pid ]]; then
        state="the program has ended"
        ! kill -0 "$pid" 2>/dev/null || state="the program still runs"
    fi
    if [[ -s ${out:-}/stderr ]]; then
        state+="${state:+; }its standard error ends: $(tail -n 20 "$out/stderr" | paste -sd'|')"
    fi
    [[ -z $state ]] || echo " [$state]"
}
pass() { echo "ok: $*"; }

# end_started: ends what the test started, newest first, each within 5 s.
end_started() {
    local i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null && timeout 5 tail --pid="${started[i]}" -f /dev/null
    done
}

# exit_code_within SECONDS: waits for the program to end and sets exit_code ("running" if it did
# not).
exit_code_within() {
    exit_code=running
    timeout "$1" tail -s 0.02 --pid="$pid" -f /dev/null
    kill -0 "$pid" 2>/dev/null && return
    wait "$pid"
    exit_code=$?
    pid=
}

# expect_exit CODE WHAT [SECONDS]: the program ends with CODE within SECONDS ($exit_wait).
expect_exit() {
    exit_code_within "${3:-$exit_wait}"
    [[ $exit_code == "$1" ]] || fail "$2: exit code $exit_code, expected $1"
    pass "$2: exit code $1"
}

# expect_running WHAT [SECONDS]: the program still runs SECONDS ($running_wait) later.
expect_running() {
    sleep "${2:-$running_wait}"
    kill -0 "$pid" 2>/dev/null || fail "$1: the program ended"
    pass "$1: still running"
}

# pacing_figures RATE: figures of the frame lines of one surface on standard input (the test
# build's "frame ROLE WHERE T0 T1 1 1000000000 DEADLINE PRESENT STEP RATE", nanoseconds), for a
# run at --frame-rate RATE: "FPS STEPS DUE PERIOD STEP CLOSEST [OTHER]". A busy machine makes
# frames late, and a late frame takes the steps of its lateness too, so the figures are: FPS,
# frames a second over the span of their deadlines (each is presented at or after its own),
# which may fall short of RATE but never exceed it; STEPS, the animation's steps over the lines,
# against DUE, those that the time between the frames' starts asks for, up to the bound a frame
# (frame/pacing.hpp's max_steps_for: a longer stall is not made up); PERIOD and CLOSEST, the most
# common and the smallest gap between deadlines in milliseconds; STEP, the most common steps a
# frame; OTHER, a rate other than RATE that a line gives, if any.
pacing_figures() {
    awk -v rate="$1" 'BEGIN { most = 2 * int((60 + rate - 1) / rate); if (most < 8) most = 8 }
        function mode(count, best, k) {
            for (k in count) if (best == "" || count[k] > count[best]) best = k
            return best }
        $1 == "frame" {
            if (frames) {
                gap = ($8 - deadline) / 1e6; periods[sprintf("%.2f", gap)]++
                if (closest == "" || gap < closest) closest = gap
                steps[$10 - last]++
                elapsed = ($4 - t) / 1e9 * 60; due += elapsed < most ? elapsed : most
            } else { d0 = $8; s0 = $10 }
            t = $4; deadline = $8; last = $10; frames++; if ($11 != rate) other = $11 }
        END { printf "%.2f %d %.1f %s %s %.2f %s\n", (frames - 1) / ((deadline - d0) / 1e9),
              last - s0, due, mode(periods), mode(steps), closest, other }'
}

# wake_ups: the context switches of all the program's threads so far; a thread asleep makes none.
wake_ups() { cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
# cpu_ticks: the program's CPU time so far (all threads, user and system), in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
