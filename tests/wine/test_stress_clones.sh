#!/usr/bin/env bash
# Stress: mirror windows opened with N and closed again, round after round, in one run of the
# program; it keeps drawing and ends with 0 when the master closes, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
. "$here/stress.sh"
rounds=$(stress_rounds 100 10)

start_for 3600 "$saver"
master=$(window_id "Lumenweave (master)") || fail "no master window"
began=$(now_ms)
for ((round = 1; round <= rounds; round++)); do
    press "Lumenweave (master)" n
    windows_become "Lumenweave (clone)" 1 || fail "round $round: N opened no clone; $(saver_state)"
    clone=$(window_id "Lumenweave (clone)") || fail "round $round: the clone is not visible; $(saver_state)"
    keys_to "$clone" alt+F4
    windows_become "Lumenweave (clone)" 0 || fail "round $round: the clone did not close; $(saver_state)"
    kill -0 "$saver_pid" 2>/dev/null || fail "round $round: the program ended"
done
pass "$rounds rounds of N and closing the clone in $(($(now_ms) - began)) ms"

# A capture taken while Wine has not yet repainted the uncovered master reads black, so a few
# tries are allowed.
for try in 1 2 3 4 5; do
    sleep 1
    level=$(brightness "$master" "$out/master.png")
    awk -v m="$level" 'BEGIN { exit !(m > 0.001) }' && break
done
awk -v m="$level" 'BEGIN { exit !(m > 0.001) }' || fail "the master stopped drawing (mean $level)"
pass "the master still draws (mean $level)"
press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master after the rounds"
expect_nothing_left "after the rounds"
pass "no saver process left"
