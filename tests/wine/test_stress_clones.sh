#!/usr/bin/env bash
# Stress: clone windows opened with N and closed again, round after round, in one run of the
# program; it keeps drawing and ends with 0 when the master closes, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
rounds=$(stress_rounds 100 10)

start_for 3600 "$saver"
master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "no master window"
began=$(now_ms)
for ((round = 1; round <= rounds; round++)); do
    press "Lumenweave (master)" n
    windows_become "Lumenweave (clone)" 1 ||
        fail "round $round: N opened no clone ($windows_seen); $(saver_state)"
    press "Lumenweave (clone)" alt+F4
    windows_become "Lumenweave (clone)" 0 ||
        fail "round $round: the clone did not close ($windows_seen); $(saver_state)"
    kill -0 "$pid" 2>/dev/null || fail "round $round: the program ended"
done
pass "$rounds rounds of N and closing the clone in $(($(now_ms) - began)) ms"

# A capture taken while Wine has not yet repainted the uncovered master reads black: the master
# draws once its captures are lit and change.
expect_drawing "$master" "the master after the rounds"
pass "the master still draws (mean $picture_mean)"
press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master after the rounds"
expect_nothing_left "after the rounds"
pass "no saver process left"
