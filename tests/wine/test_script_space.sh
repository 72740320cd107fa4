#!/usr/bin/env bash
# The script space (hosts/windows/script_space.hpp): the program the playground's Install dialog
# downloads in Chromium draws the script typed there, as lumenweave-render draws it, and differs
# from the release only inside the space; the test build with a script placed by the page's module
# holds the frames lumenweave-render draws; a space damaged by hand (a length above the capacity,
# a wrong CRC-32) runs the built-in script and the test build says why.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

source_dir=$(cd "$here/../.." && pwd)
render=${LUMENWEAVE_RENDER:-$source_dir/build/native/tools/render/lumenweave-render}
site=$source_dir/build/web
if [[ ! -d $source_dir/web/node_modules/esbuild || ! -f $source_dir/build/web-gen/script-space.ts ||
    ! -f $site/Lumenweave.scr ]]; then
    echo "SKIP: the page is not built (run: bash tools/playground.sh build)"
    exit 77
fi
[[ -x $render ]] || fail "no lumenweave-render at $render"
marker=$(sed -n 's/^constexpr char space_marker\[\] = "\(.*\)";$/\1/p' \
    "$source_dir/hosts/windows/script_space.hpp")

# The marker occurs once in each program, so that the page finds the one space.
for program in "$saver" "$test_saver"; do
    occurrences=$(grep -oaF "$marker" "$program" | wc -l)
    ((occurrences == 1)) || fail "$(basename "$program"): the marker occurs $occurrences times"
done
pass "the marker \"$marker\" occurs once in each program"

place() { node "$source_dir/web/tools/place-script.mjs" "$@" || fail "placing $2 in $(basename "$1")"; }

# space_bytes PROGRAM: the offsets of the space's length field and of the last byte of its text.
space_bytes() {
    local at
    at=$(grep -obaF "$marker" "$1" | cut -d: -f1)
    echo $((at + 20)) $((at + 28 + $(od -An -t u4 -j $((at + 16)) -N 4 "$1") - 1))
}

# poke PROGRAM OFFSET U32: writes a little-endian u32 at OFFSET, as a hand with a hex editor would.
poke() {
    local bytes
    bytes=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($3 & 255)) $(($3 >> 8 & 255)) \
        $(($3 >> 16 & 255)) $(($3 >> 24 & 255)))
    printf '%b' "$bytes" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# same_picture WINDOW PNG WHAT: waits until WINDOW shows exactly the picture PNG.
same_picture() { await "$3: the picture lumenweave-render draws" shows_picture "$1" "$2"; }
shows_picture() {
    import -window "$1" "$out/window.png" 2>/dev/null
    seen="$(compare -metric AE "$out/window.png" "$2" null: 2>&1) pixels differ"
    [[ $seen == "0 pixels differ" ]]
}

close_master() {
    press "Lumenweave (master)" alt+F4
    expect_exit 0 "$1: closing the master"
}

# The released program as the page makes it, with a figure that stands still once its trail is
# full (128 wings): its window shows what lumenweave-render draws of the script, and only the
# space differs from the site's Lumenweave.scr, which the page placed the script in.
cat >"$out/still.txt" <<'SCRIPT'
# three arms of blue wings, standing still
actset: 38, 60
actset: 52, 48
actset: 31, 0.04
actset: 94, 0.9
actset: 101, 0.3
actset: 123, 0.6
actset: 130, 0.5
actset: 18, 1
SCRIPT
mkdir "$out/downloads"
still=$(timeout 600 node "$here/page-saver.mjs" "$out/still.txt" "Still arms" "$out/downloads") ||
    fail "the page made no saver"
[[ $still == */Still-arms.scr ]] || fail "the page named the saver $(basename "$still")"
read -r first last <<<"$(space_bytes "$site/Lumenweave.scr")"
outside=$(cmp -l "$site/Lumenweave.scr" "$still" | awk -v first="$first" -v last="$last" \
    '$1 - 1 < first || $1 - 1 > last { n++ } END { print n + 0 }')
[[ $(stat -c %s "$site/Lumenweave.scr") == $(stat -c %s "$still") && $outside == 0 ]] ||
    fail "the downloaded program differs from the release outside its space ($outside bytes)"
pass "the page's Still-arms.scr differs from the release only inside the space (bytes $first to $last)"
"$render" --script "$out/still.txt" --frames 600 --out "$out/still.png" >/dev/null ||
    fail "lumenweave-render of the still figure"
start "$still"
master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "the downloaded program opened no window"
same_picture "$master" "$out/still.png" "the downloaded program with the still figure"
pass "the downloaded program draws the script typed in the page, as lumenweave-render does"
close_master "the still figure"

# The test build with a moving script: the frame it holds is lumenweave-render's of that frame.
cat >"$out/moving.txt" <<'SCRIPT'
# green wings flipping one way, then the other
actset: 38, 60
actset: 52, 40
actset: 31, 0.05
actset: 94, 0.8
actset: 101, 0.4
actset: 123, 0.3
actset: 130, 0.5
actset: 18, 1
actset: 80, 2
seqdo: 1
seqname: 1
actset: 87, 12
relframe: 40
actset: 87, -12
relframe: 40
seqloop:
SCRIPT
place "$test_saver" "$out/moving.txt" "$out/moving-test.scr"
LUMENWEAVE_HOLD=$(winepath -w "$out/hold") start "$out/moving-test.scr"
await_line "the placed script" '^script '
[[ $line == "script placed: $(stat -c %s "$out/moving.txt") bytes" ]] ||
    fail "the test build with a placed script says \"$line\""
master=$(find_window "Lumenweave (master)" "$wait_bound") || fail "the placed test build opened no window"
await_frames master 100 0
held_from=$(log_length)
touch "$out/hold"
await_held_frame "the animation held" 1 "$held_from"
"$render" --script "$out/moving.txt" --frames "$held_frame" --out "$out/moving.png" >/dev/null ||
    fail "lumenweave-render of frame $held_frame"
same_picture "$master" "$out/moving.png" "the held frame $held_frame of the placed script"
rm "$out/hold"
pass "the test build holds frame $held_frame of the placed script, as lumenweave-render draws it"
close_master "the moving script"

# Damaged by hand: a length above the capacity, then a changed byte of the text. The built-in
# script runs (a figure that still moves once the still one's trail is full), and the test build
# says why.
place "$test_saver" "$out/still.txt" "$out/damaged.scr"
read -r first last <<<"$(space_bytes "$out/damaged.scr")"
capacity=$((last - first - 8 + 1))
length=$(stat -c %s "$out/still.txt")
poke "$out/damaged.scr" "$first" $((capacity + 1))
crc=$(od -An -t x4 -j $((first + 4)) -N 4 "$out/damaged.scr" | tr -d ' ')
start "$out/damaged.scr"
await_line "a length above the capacity" '^script '
[[ $line == "script built-in: the space's length $((capacity + 1)) with CRC-32 $crc is not one of 1 to $capacity bytes" ]] ||
    fail "a length above the capacity: the test build says \"$line\""
await_frames master 200 "$line_number"
expect_drawing "$(find_window "Lumenweave (master)" "$wait_bound")" "a length above the capacity"
pass "a length above the capacity: the built-in script runs, and the test build says so"
close_master "a length above the capacity"

poke "$out/damaged.scr" "$first" "$length"
printf 'A' | dd of="$out/damaged.scr" bs=1 seek=$((first + 8)) conv=notrunc status=none
start "$out/damaged.scr"
await_line "a changed byte of the text" '^script '
[[ $line =~ ^"script built-in: the space's CRC-32 is $crc, its $length bytes of text have "[0-9a-f]{8}$ &&
    $line != *" have $crc" ]] || fail "a changed byte of the text: the test build says \"$line\""
await_frames master 200 "$line_number"
expect_drawing "$(find_window "Lumenweave (master)" "$wait_bound")" "a changed byte of the text"
pass "a wrong CRC-32: the built-in script runs, and the test build says so"
close_master "a wrong CRC-32"
