#!/usr/bin/env bash
# A window whose OpenGL context cannot be created, or not made current, stays black without a
# box; its thread still paces, so the master opens clones and the program ends as usual. The test
# build forces each of the two failures through LUMENWEAVE_FAIL, for every window.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

frames() { grep -c '^frame master' "$out/stdout"; }

for check in create_context make_current; do
    LUMENWEAVE_FAIL=$check start "$test_saver"
    master=$(find_window "Lumenweave (master)") || fail "$check: no master window"
    press "Lumenweave (master)" n
    clone=$(find_window "Lumenweave (clone)") || fail "$check: N opened no clone"
    wintool move "Lumenweave (clone)" 660 40
    sleep 1
    before=$(frames)
    sleep 1
    # Paced: far fewer than the thousands a loop without its wait would run.
    after=$(frames)
    ((after > before && after - before < 120)) ||
        fail "$check: $((after - before)) master frames in a second"
    for window in "$master" "$clone"; do
        mean=$(brightness "$window" "$out/window.png")
        [[ $mean == 0 ]] || fail "$check: a window is not black (mean $mean)"
    done
    [[ $(wintool boxtext Error 0) == "no box" ]] || fail "$check: an error box opened"
    pass "$check: black windows, paced frames, no box"
    press "Lumenweave (master)" alt+F4
    expect_exit 0 "$check: closing the master"
done
