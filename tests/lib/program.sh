# The test kit of the end-to-end shell tests (tests/x11/, tests/wayland/, tests/wine/): starting
# the program under test with an empty log, waiting for its lines and frames, a verdict line, the
# processes a test started, and waiting for the program to end. A test's lib.sh sources it, sets
# out (its scratch folder) and keeps only its environment (its display, Wine or compositor).
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/test-log.sh"
started=()        # pids this test started, ended in reverse order at exit
pid=              # the program under test; emptied once it has ended and been waited for
log=              # its log (standard output), $out/stdout once started
exit_wait=10      # seconds expect_exit waits by default
running_wait=0.5  # seconds expect_running waits by default
# Seconds any one wait may take: it only bounds a hang, so it is generous for a machine three
# times slower under load.
wait_bound=60
private_fds=()    # file descriptors of the test's own that the program must not inherit

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

# start_program COMMAND...: runs COMMAND in the background as the program under test, in pid (the
# command's own: signals sent to pid reach it), ended with the test at the latest. Its standard
# output (the log) goes to $out/stdout and its standard error to $out/stderr, both emptied before
# it returns, so that no wait reads the last run's lines while the command has yet to open them.
start_program() {
    log=$out/stdout
    : >"$log" && : >"$out/stderr"
    (
        local fd
        for fd in "${private_fds[@]}"; do exec {fd}>&-; done
        exec "$@" >"$log" 2>"$out/stderr"
    ) &
    pid=$!
    started+=("$pid")
}

# await WHAT COMMAND...: until COMMAND succeeds, for $wait_bound seconds at most; then fails
# naming WHAT and what COMMAND left in $seen.
await() {
    local what=$1
    shift
    seen=
    within "$wait_bound" "$@" || fail "$what: not within $wait_bound s${seen:+; seen: $seen}"
}

# await_line WHAT PATTERN [AFTER]: until a line of the log after its first AFTER (0) matches the
# extended regular expression PATTERN; leaves it in line and its number in line_number. Fails at
# once if the program under test (pid, if set) has ended without it.
await_line() { await "$1: a line /$2/" line_came "$2" "${3:-0}"; }
line_came() {
    local alive=no found
    { [[ -z $pid ]] || kill -0 "$pid" 2>/dev/null; } && alive=yes
    found=$(log_after "$2" | grep -En -m1 -- "$1") && {
        line_number=$((${found%%:*} + $2)) line=${found#*:}
        return 0
    }
    seen=$(log_after "$2" | tail -n 3 | paste -sd'|')
    seen=${seen:+the log ends: $seen}
    [[ $alive == yes ]] || fail "the program ended without a line /$1/; $seen"
    return 1
}

# await_frames SURFACE COUNT [AFTER]: until the program has drawn COUNT frames of SURFACE (a role,
# "master", or a place: an output on Wayland) after line AFTER of the log (the lines so far).
await_frames() {
    local after=${3:-$(log_length)}
    await "$2 frames of $1 after line $after" frames_came "$1" "$2" "$after"
}
frames_came() {
    local count
    count=$(frames_after "$3" "$1")
    seen="$count frames"
    ((count >= $2)) && return 0
    { [[ -z $pid ]] || kill -0 "$pid" 2>/dev/null; } && return 1
    count=$(frames_after "$3" "$1")
    ((count >= $2)) || fail "the program ended after $count frames of $1, awaited $2"
}

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
    awk -v rate="$1" "$frame_fields"'BEGIN { most = 2 * int((60 + rate - 1) / rate); if (most < 8) most = 8 }
        function mode(count, best, k) {
            for (k in count) if (best == "" || count[k] > count[best]) best = k
            return best }
        is_frame() {
            if (frames) {
                gap = (frame_deadline() - deadline) / 1e6; periods[sprintf("%.2f", gap)]++
                if (closest == "" || gap < closest) closest = gap
                steps[frame_step() - last]++
                elapsed = (frame_began() - t) / 1e9 * 60; due += elapsed < most ? elapsed : most
            } else { d0 = frame_deadline(); s0 = frame_step() }
            t = frame_began(); deadline = frame_deadline(); last = frame_step(); frames++
            if (frame_rate() != rate) other = frame_rate() }
        END { printf "%.2f %d %.1f %s %s %.2f %s\n", (frames - 1) / ((deadline - d0) / 1e9),
              last - s0, due, mode(periods), mode(steps), closest, other }'
}

# wake_ups: the context switches of all the program's threads so far; a thread asleep makes none.
wake_ups() { cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
