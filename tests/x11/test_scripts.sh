#!/usr/bin/env bash
# Scripts from elsewhere than one file. --link runs the script and seed of a share link of the
# playground (#z=, made here with Node's zlib as the page makes it, and the older #s=): the window
# at a held step shows what lumenweave-render draws of that script and seed. A link that is none,
# cut short or altered, a linked script with problems, an empty folder, a folder of bad scripts and
# a bad --every each end the run with 2 and their line. A folder of two scripts takes turns in name
# order, each drawing its own figure, and no turn ends while the window cannot be seen.
source "$(dirname "$0")/lib.sh"

render=$build/tools/render/lumenweave-render
[[ -x $render ]] || { echo "SKIP: no $render"; exit 77; }
command -v node >/dev/null || { echo "SKIP: no node"; exit 77; }
link() { node "$here/share-link.mjs" "$@"; }

# expect_refused WHAT LINES LAST ARGS...: the program ends with 2, LINES lines on standard error,
# the last "lumenweave: LAST".
expect_refused() {
    local what=$1 lines=$2 last=$3
    shift 3
    start "$test_program" "$@"
    expect_exit 2 "$what"
    [[ $(wc -l <"$out/stderr") == "$lines" && $(tail -n 1 "$out/stderr") == "lumenweave: $last" ]] ||
        fail "$what: said"
    pass "$what: said \"$(tail -n 1 "$out/stderr")\""
}

# expect_held WHAT SINCE [SCRIPT]: with the animation held past line SINCE of the log, the window
# shows a step (sets step), and names the script of the log's last "script" line before the hold
# (sets shown); it is captured into $out/shown.png and the animation goes on.
expect_held() {
    touch "$out/hold"
    await_line "$1: the figure held" '^held master 0 ' "$2"
    step=${line##* }
    shown=$(sed -n "1,/^held master 0 /p" <(tail -n +$(($2 + 1)) "$out/stdout") |
        awk '/^script / { name = $3 } END { print name }')
    shot "$window" "$out/shown.png" || fail "$1: no capture"
    rm "$out/hold"
}

# expect_rendered WHAT SCRIPT SEED: $out/shown.png is what lumenweave-render draws of SCRIPT with
# SEED at $step.
expect_rendered() {
    "$render" --seed "$3" --frames "$step" --script "$2" --out "$out/rendered.png" ||
        fail "$1: lumenweave-render failed"
    [[ $(python3 "$here/picture.py" box "$out/shown.png") != none ]] || fail "$1: nothing lit"
    local d
    d=$(difference "$out/shown.png" "$out/rendered.png")
    awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.01) }' ||
        fail "$1: step $step is not what lumenweave-render draws of $(basename "$2") (difference $d)"
    pass "$1: step $step is what lumenweave-render draws of $(basename "$2") (difference $d)"
}

start_display

# The address as Share copies it: the seed in the query, the compressed script in the fragment.
# The script's random waits make its figure differ from seed to seed from step 120 on.
bursts=$here/../../examples/random-bursts.txt
address="http://127.0.0.1:8000/index.html?seed=7&frame=20$(link z "$bursts")"
LUMENWEAVE_HOLD=$out/hold start "$test_program" --link "$address"
window=$(find_window Lumenweave) || fail "--link: no window"
await_line "--link: drawing step 120" '^draw ([0-9]{4,}|[2-9][0-9]{2}|1[2-9][0-9])$'
expect_held "--link #z=" 0
expect_rendered "--link #z= with ?seed=7" "$bursts" 7
kill "$pid"
expect_exit 0 "--link: a stop signal"

LUMENWEAVE_HOLD=$out/hold start "$test_program" --seed 3 --link "$(link s "$square_script")"
window=$(find_window Lumenweave) || fail "--link #s=: no window"
await_line "--link #s=: drawing step 60" '^draw ([0-9]{3,}|[6-9][0-9])$'
expect_held "--link #s=" 0
expect_rendered "--link #s= with --seed 3" "$square_script" 3
kill "$pid"
expect_exit 0 "--link #s=: a stop signal"

z=$(link z "$square_script")
printf 'actset: 80, 1\nbogus: 1\n' >"$out/bad.txt"
mkdir "$out/empty" "$out/bad"
cp "$out/bad.txt" "$out/bad/one.txt"
expect_refused "not a link" 1 "not a link of the Lumenweave playground (it has no #z= or #s= part): link 1" \
    --link "http://127.0.0.1:8000/index.html?seed=7"
expect_refused "a link cut short" 1 "the link is cut short or damaged, so its script cannot be read: link 1" \
    --link "${z:0:$((${#z} - 6))}"
expect_refused "an altered link" 1 "the link is cut short or damaged, so its script cannot be read: link 1" \
    --link "$(link z-bad-crc "$square_script")"
expect_refused "a linked script with problems" 2 "the link's script has the problems above: link 1" \
    --link "$(link z "$out/bad.txt")"
grep -qx "link 1:2: bad command 'bogus:'" "$out/stderr" || fail "the link's problem not said"
expect_refused "an empty folder" 1 "the folder holds no *.txt script: $out/empty" --script "$out/empty"
expect_refused "a folder of bad scripts" 3 "none of the scripts can run" --script "$out/bad"
expect_refused "--every 0" 1 "--every 0: not a duration: give seconds (30 or 30s), minutes (10m) or hours (1h), from 1 s to 24 h" \
    --script "$out/bad" --every 0

# A rotation: the folder's scripts in name order, two seconds of drawing each, a bad one left out.
mkdir "$out/turns"
cp "$square_script" "$out/turns/a.txt"
cp "$bursts" "$out/turns/b.txt"
cp "$out/bad.txt" "$out/turns/c.txt"
LUMENWEAVE_HOLD=$out/hold start "$test_program" --seed 5 --every 2 --script "$out/turns"
window=$(find_window Lumenweave) || fail "rotation: no window"
await_line "rotation: a first" '^script 0 .*/a\.txt$'
grep -q "left out of the rotation: .*/c.txt" "$out/stderr" || fail "rotation: c.txt not reported"
since=$(log_length)
await_line "rotation: then b" '^script 1 .*/b\.txt$' "$since"
since=$(log_length)
await_line "rotation: then a again" '^script 0 .*/a\.txt$' "$since"
pass "rotation: a, b, a"
# Each script's figure, held during its turn; a turn that ended before the hold took is waited for
# again.
for name in a b; do
    for ((try = 0; ; try++)); do
        ((try < 5)) || fail "rotation: $name.txt never held in its turn"
        since=$(log_length)
        await_line "rotation: $name's turn" "^script [01] .*/$name\\.txt\$" "$since"
        expect_held "rotation" "$since"
        [[ $shown == */$name.txt ]] && break
    done
    expect_rendered "rotation: $name.txt's turn" "$out/turns/$name.txt" 5
done
# No turn ends while nobody can see the figure: another run's 150 frames (2.5 s at least, more
# than a turn) pass with the window unmapped and no script started; shown again, the turns go on.
"$test_program" --seed 3 >"$out/other.log" 2>&1 &
started+=($!)
since=$(log_length)
timeout 30 xdotool windowunmap --sync "$window" || fail "rotation: the window could not be unmapped"
await_line "rotation: resting" '^paused ' "$since"
turns=$(grep -c '^script ' "$out/stdout")
await "rotation: 150 frames of the other run" other_drew $(($(other_frames) + 150))
[[ $(grep -c '^script ' "$out/stdout") == "$turns" ]] || fail "rotation: a turn ended while resting"
# The other run's window, made later, would stand above it.
kill "${started[-1]}"
since=$(log_length)
timeout 30 xdotool windowmap --sync "$window" || fail "rotation: the window could not be mapped"
await_line "rotation: shown again" '^resumed ' "$since"
await_line "rotation: the turns go on" '^script ' "$since"
pass "rotation: no turn ends while resting; shown again, the next starts ($line)"
kill "$pid"
expect_exit 0 "rotation: a stop signal"
[[ $(grep -c "left out of the rotation: .*/c.txt" "$out/stderr") == 1 ]] || fail "rotation: c.txt reported more than once"
