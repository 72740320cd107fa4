#!/usr/bin/env bash
# Stress: screensaver runs ended by a key the moment their window shows, while the render thread
# may still be starting. The first key goes out within 100 ms of the window becoming visible; a
# key that arrives before the window can take the focus is lost, so keys follow every 100 ms
# until the program ends. Every run must end with 0, within the bound, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
rounds=$(stress_rounds 50 5)

# keyed_until_ended: false, after a key, while the program runs (the key a tenth of a second
# after the last one, with the wait's own pause); true once it has ended.
keyed_until_ended() {
    kill -0 "$pid" 2>/dev/null || return 0
    activate_window "$id" || true
    xdotool key space
    keys=$((keys + 1))
    sleep 0.05
    return 1
}
first_key_ended=0
for ((run = 1; run <= rounds; run++)); do
    xdotool mousemove 640 512
    start "$saver" /s
    id=$(find_window "Lumenweave (master)" "$wait_bound") || fail "run $run: no visible window within $wait_bound s"
    keys=0
    await "run $run: the program ending on a key" keyed_until_ended
    ((keys == 1)) && first_key_ended=$((first_key_ended + 1))
    expect_exit 0 "run $run, ended after $keys keys"
    expect_nothing_left "run $run"
done
pass "$rounds screensaver runs ended by a key at start, each with 0; $first_key_ended by the first key"
