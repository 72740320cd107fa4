#!/usr/bin/env bash
# A preview needs a window handle that has a parent: without one the saver ends with 1 at once
# and opens nothing.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

for line in "/p 0" "/p" "/p:1234"; do
    start "$saver" $line
    expect_exit 1 "$line"
    no_window_titled "Lumenweave (master)"
done

result=$(wintool preview "$(winepath -w "$saver")" 0 orphan)
[[ $result == "saver exit 1" ]] || fail "preview of a window without parent: $result"
pass "preview of a window without parent: exit code 1"
