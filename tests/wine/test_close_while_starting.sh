#!/usr/bin/env bash
# A close that arrives while a render thread is still starting (its window not yet shown, which
# needs the main thread) ends the program instead of leaving both threads waiting on each other.
# The test build holds the render thread of the kind named by LUMENWEAVE_HOLD_SHOW just before it
# shows its window, until the main thread stops it: the close always finds the thread starting.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# The window exists, hidden, from before its thread starts.
LUMENWEAVE_HOLD_SHOW=master start "$test_saver"
await_line "the master's thread starting" '^show held master '
[[ $(wintool close "Lumenweave (master)") == "" ]] || fail "no master window to close"
expect_exit 0 "closing the master while its thread starts"

# The same with a clone still starting when the master closes.
LUMENWEAVE_HOLD_SHOW=clone start "$test_saver"
find_window "Lumenweave (master)" "$wait_bound" >/dev/null || fail "no master window"
press "Lumenweave (master)" n
await_line "the clone's thread starting" '^show held clone '
[[ $(wintool close "Lumenweave (master)") == "" ]] || fail "no master window to close"
expect_exit 0 "closing the master while a clone starts"
