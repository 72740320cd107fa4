#!/usr/bin/env bash
# "c" in its spellings answers with an information box and ends with 0; nothing else opens.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

for line in /c /C:5678 c; do
    start "$saver" "$line"
    expect_box Lumenweave "Lumenweave has no options."
    expect_exit 0 "$line"
    no_window_titled "Lumenweave (master)"
done
