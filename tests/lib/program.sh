# The program under test in the Linux program's shell tests (tests/x11/, tests/wayland/): a
# verdict line, the processes a test started, and waiting for the program to end. A test's lib.sh
# sources it, sets out (its scratch folder) and starts the program into pid.
started=()  # pids this test started, ended in reverse order at exit
pid=        # the program under test

fail() {
    echo "FAIL: $*"
    exit 1
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
}

# expect_exit CODE WHAT [SECONDS]: the program ends with CODE within SECONDS (10).
expect_exit() {
    exit_code_within "${3:-10}"
    [[ $exit_code == "$1" ]] || fail "$2: exit code $exit_code, expected $1 ($(<"$out/stderr"))"
    pass "$2: exit code $1"
}

# expect_running WHAT [SECONDS]: the program still runs SECONDS (0.5) later.
expect_running() {
    sleep "${2:-0.5}"
    kill -0 "$pid" 2>/dev/null || fail "$1: the program ended ($(<"$out/stderr"))"
    pass "$1: still running"
}
