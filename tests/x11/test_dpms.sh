#!/usr/bin/env bash
# The monitors powered down on a server whose DPMS extension tells of no changes (version 1.1, as
# tests/x11/fake_dpms.cpp shows it to the program): the window rests at its step, asking the power
# level once a poll interval and doing nothing in between, and goes on from that step once the
# monitors are back on.
source "$(dirname "$0")/lib.sh"
fake_dpms=$build/tests/x11/lumenweave-fake-dpms.so
[[ -f $fake_dpms ]] || { echo "SKIP: no $fake_dpms (cmake --build --preset native)"; exit 77; }
start_display

echo 0 >"$out/dpms"
LD_PRELOAD=$fake_dpms LUMENWEAVE_FAKE_DPMS=$out/dpms start "$test_program" --seed 7
find_window Lumenweave >/dev/null || fail "no window titled Lumenweave"
await_line "monitors on: drawing" '^draw '
since=$(log_length)
echo 3 >"$out/dpms"
await_line "monitors off: resting" '^paused ' "$since"
rest_step=${line#paused }
# Three more asks: the CPU time of a rest that sleeps between them is a tick or two, where one that
# woke at once again and again would take the spans between them whole.
asks=$(($(wc -l <"$out/dpms.asks") + 3)) ticks=$(cpu_ticks)
asked() { (($(wc -l <"$out/dpms.asks") >= asks)); }
await "monitors off: the power level asked three more times" asked
ticks=$(($(cpu_ticks) - ticks))
((ticks <= 5)) || fail "monitors off: $ticks CPU ticks over three polls: the rest spins"
pass "monitors off: rests at step $rest_step, $ticks CPU ticks over three polls of the power level"
since=$(log_length)
echo 0 >"$out/dpms"
await_line "monitors on again: resuming" '^resumed ' "$since"
[[ ${line#resumed } == "$rest_step" ]] || fail "monitors on again: rested at step $rest_step, $line"
pass "monitors on again: goes on from step $rest_step"
kill -TERM "$pid"
expect_exit 0 "SIGTERM"
