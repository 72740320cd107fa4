#!/usr/bin/env bash
# Stress: mirror windows opened with N and closed again, round after round, in one run of the
# program; it keeps drawing and ends with 0 when the master closes, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
rounds=$(stress_rounds 100 10)

start_for 3600 "$saver"
master=$(find_window "Lumenweave (master)") || fail "no master window"
began=$(now_ms)
for ((round = 1; round <= rounds; round++)); do
    press "Lumenweave (master)" n
    windows_become "Lumenweave (clone)" 1 || fail "round $round: N opened no clone; $(saver_state)"
    clone=$(find_window "Lumenweave (clone)") || fail "round $round: the clone is not visible; $(saver_state)"
    send_keys "$clone" alt+F4
    windows_become "Lumenweave (clone)" 0 || fail "round $round: the clone did not close; $(saver_state)"
    kill -0 "$pid" 2>/dev/null || fail "round $round: the program ended"
done
pass "$rounds rounds of N and closing the clone in $(($(now_ms) - began)) ms"

# A capture taken while Wine has not yet repainted the uncovered master reads black, so a few
# tries are allowed.
drawing=no
for try in 1 2 3 4 5; do
    sleep 1
    is_drawing "$master" && { drawing=yes; break; }
done
[[ $drawing == yes ]] ||
    fail "the master stopped drawing (mean $picture_mean, change $picture_change)"
pass "the master still draws (mean $picture_mean)"
press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master after the rounds"
expect_nothing_left "after the rounds"
pass "no saver process left"
