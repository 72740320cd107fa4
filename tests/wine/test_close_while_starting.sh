#!/usr/bin/env bash
# A close that arrives while a render thread is still starting (its window not yet shown, which
# needs the main thread) ends the program instead of leaving both threads waiting on each other.
# The test build holds each render thread for a while just before it shows its window.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

LUMENWEAVE_SHOW_DELAY_MS=3000 start "$test_saver"
# The window exists, hidden, from before its thread starts; on a busy machine Wine may take more
# than a second to get there, so the close is sent as soon as there is a window to take it.
deadline=$((SECONDS + 15))
until wintool close "Lumenweave (master)" >/dev/null; do
    ((SECONDS < deadline)) || fail "no master window to close"
    sleep 0.2
done
expect_exit 0 "closing the master while its thread starts" 20

# The same with a clone still starting when the master closes.
LUMENWEAVE_SHOW_DELAY_MS=3000 start "$test_saver"
find_window "Lumenweave (master)" >/dev/null || fail "no master window"
press "Lumenweave (master)" n
sleep 1
wintool close "Lumenweave (master)" >/dev/null
expect_exit 0 "closing the master while a clone starts" 20
