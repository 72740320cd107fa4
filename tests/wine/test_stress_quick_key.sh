#!/usr/bin/env bash
# Stress: screensaver runs ended by a key the moment their window shows, while the render thread
# may still be starting. The first key goes out within 100 ms of the window becoming visible; a
# key that arrives before the window can take the focus is lost, so keys follow every 100 ms
# until the program ends. Every run must end with 0, within the bound, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
rounds=$(stress_rounds 50 5)

first_key_ended=0
for ((run = 1; run <= rounds; run++)); do
    xdotool mousemove 640 512
    start "$saver" /s
    id=$(find_window "Lumenweave (master)" "$wait_bound") || fail "run $run: no visible window within $wait_bound s"
    keys=0
    deadline=$((SECONDS + wait_bound))
    while kill -0 "$pid" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "run $run: still running $wait_bound s after its window showed"
        activate_window "$id" || true
        xdotool key space
        keys=$((keys + 1))
        sleep 0.1
    done
    ((keys == 1)) && first_key_ended=$((first_key_ended + 1))
    expect_exit 0 "run $run, ended after $keys keys"
    expect_nothing_left "run $run"
done
pass "$rounds screensaver runs ended by a key at start, each with 0; $first_key_ended by the first key"
