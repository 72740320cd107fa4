#!/usr/bin/env bash
# A window whose OpenGL context cannot be created, or not made current, stays black without a
# box; its thread still paces, so the master opens clones and the program ends as usual. The test
# build forces each of the two failures through LUMENWEAVE_FAIL, for every window.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

for check in create_context make_current; do
    LUMENWEAVE_FAIL=$check start "$test_saver"
    master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "$check: no master window"
    press "Lumenweave (master)" n
    windows_become "Lumenweave (clone)" 1 || fail "$check: N opened no clone ($windows_seen)"
    place "Lumenweave (clone)" 0 520
    clone=$(find_window "Lumenweave (clone)")
    # Both threads are past their context once they draw frames.
    from=$(log_length)
    await_line "$check: the clone's frames" '^frame clone ' "$from"
    await_frames master 30 "$from"
    # Paced: far fewer than the thousands a loop without its wait would run, measured with the
    # program's own counter, so that a busy machine only makes it fewer.
    rate=$(log_after "$from" | awk "$frame_fields"'is_frame() && frame_role() == "master" {
        if (n++ == 0) first = frame_began(); last = frame_began(); frequency = frame_frequency() }
        END { printf "%d", (n - 1) * frequency / (last - first) }')
    ((rate < 120)) || fail "$check: $rate master frames per second"
    for window in "$master" "$clone"; do
        rm -f "$out/window.png"
        mean=$(brightness "$window" "$out/window.png")
        [[ -s $out/window.png ]] || fail "$check: no capture of window $window"
        [[ $mean == 0 ]] || fail "$check: a window is not black (mean $mean)"
    done
    [[ $(wintool boxtext Error 0) == "no box" ]] || fail "$check: an error box opened"
    pass "$check: black windows, $rate frames per second, no box"
    press "Lumenweave (master)" alt+F4
    expect_exit 0 "$check: closing the master"
done
