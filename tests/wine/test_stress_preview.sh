#!/usr/bin/env bash
# Stress: previews whose parent is destroyed the moment the saver's window appears in it. Every
# run must end with 0, within the bound, leaving nothing behind.
. "$(dirname "$0")/lib.sh"
begin_test "$@"
. "$here/stress.sh"
rounds=$(stress_rounds 50 5)

saver_path=$(winepath -w "$saver")
began=$(now_ms)
for ((run = 1; run <= rounds; run++)); do
    result=$(wintool preview "$saver_path" 0)
    grep -q '^preview ' <<<"$result" || fail "run $run: no preview window: $result"
    grep -qx 'saver exit 0' <<<"$result" || fail "run $run: $result"
    expect_nothing_left "run $run"
done
pass "$rounds previews ended with their parent, each with 0, in $(($(now_ms) - began)) ms"
