# Helpers of the stress tests, sourced after lib.sh: how many rounds to run, and the check that
# a run left no process of the saver behind.

# stress_rounds FULL REDUCED: FULL rounds with LUMENWEAVE_STRESS_FULL=1, else REDUCED (CI).
stress_rounds() {
    if [[ ${LUMENWEAVE_STRESS_FULL:-0} == 1 ]]; then echo "$1"; else echo "$2"; fi
}

# No process runs either build of the saver any more, within $wait_bound seconds.
expect_nothing_left() { await "$1: no saver process left" no_saver_left; }
no_saver_left() {
    seen=$(pgrep -af -- "$saver|$test_saver") || return 0
    return 1
}

# start_for SECONDS PROGRAM ARGS...: lib.sh's start with a bound of its own, since a stress run
# keeps one program going for many rounds, longer than lib.sh allows a single run.
start_for() {
    local seconds=$1
    shift
    start_program timeout "$seconds" wine "$@"
}

# Milliseconds since the epoch, for the figures the stress tests print.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Whether the saver started last still runs, or how it ended: for failure messages.
saver_state() {
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program still runs"
    else
        wait "$pid"
        echo "the program ended with $?"
    fi
}
