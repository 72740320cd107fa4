#!/usr/bin/env bash
# Every failure text reaches an error box and the program ends with 1; failures on the main
# thread are shown twice (where they happen and at the entry point), those on a render thread
# and before the entry point once. The test build forces each failure through LUMENWEAVE_FAIL.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

# fails CHECK TIMES TEXT [ARGS...]: forces CHECK and expects TEXT in TIMES boxes, then exit 1.
fails() {
    local check=$1 times=$2 text=$3
    shift 3
    LUMENWEAVE_FAIL=$check start "$test_saver" "$@"
    for ((i = 0; i < times; i++)); do
        expect_box Error "$text"
    done
    expect_exit 1 "$check"
}

fails run_event 1 "CreateEvent failed."
fails register_class 2 "RegisterClass failed."
fails create_event 2 "CreateEvent failed."
fails create_window 2 "Unable to create window." /s
fails create_thread 2 "CreateThread failed."
fails choose_pixel_format 1 "Cannot find a suitable pixel format."
fails set_pixel_format 1 "SetPixelFormat failed:  cannot set format specified."
fails get_message 1 "Internal Windows error."

# The monitor checks come with display mode 1, reached with F.
for failure in "monitor:Monitor disappeared!" "monitor_info:Error getting monitor info."; do
    LUMENWEAVE_FAIL=${failure%%:*} start "$test_saver"
    press "Lumenweave (master)" f
    expect_box Error "${failure#*:}"
    expect_box Error "${failure#*:}"
    expect_exit 1 "${failure%%:*}"
done

# A preview window that cannot be created ends the program with 1 and shows nothing.
result=$(LUMENWEAVE_FAIL=create_window wintool preview "$(winepath -w "$test_saver")" 500)
grep -q "^saver exit 1$" <<<"$result" || fail "failed preview window: $result"
pass "failed preview window: exit code 1"
