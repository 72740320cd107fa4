#!/usr/bin/env bash
# Stress on two monitors: F through all four display modes, round after round, in one run of the
# program: mode 3 opens the clone on the second monitor, mode 0 closes it and brings back the
# 640 x 480 window; the program ends with 0 and leaves nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
use_monitors 2
rounds=$(stress_rounds 50 3)

start_for 3600 "$saver"
master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "no master window"
read_rect "Lumenweave (master)"
home="$win_left $win_top 640 480"
began=$(now_ms)
for ((round = 1; round <= rounds; round++)); do
    press "Lumenweave (master)" f
    expect_place "Lumenweave (master)" "0 0 800 600" "round $round, mode 1"
    press "Lumenweave (master)" f
    expect_place "Lumenweave (master)" "0 0 1440 600" "round $round, mode 2"
    press "Lumenweave (master)" f
    windows_become "Lumenweave (clone)" 1 || fail "round $round: mode 3 did not open one clone ($windows_seen); $(saver_state)"
    press "Lumenweave (master)" f
    expect_place "Lumenweave (master)" "$home" "round $round, mode 0"
    windows_become "Lumenweave (clone)" 0 || fail "round $round: mode 0 kept the clone ($windows_seen); $(saver_state)"
    kill -0 "$pid" 2>/dev/null || fail "round $round: the program ended"
done
pass "$rounds rounds of F through display modes 0 to 3 in $(($(now_ms) - began)) ms"

press "Lumenweave (master)" alt+F4
expect_exit 0 "closing the master after the rounds"
expect_nothing_left "after the rounds"
pass "no saver process left"
