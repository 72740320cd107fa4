#!/usr/bin/env bash
# Runs lumenweave-sim in one way and checks what it prints and how it exits.
# usage: check.sh error|unwritable|help|values|trace|script|check|actuators SIM [ARGS...]
set -uo pipefail
mode=$1 sim=$2
shift 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

case $mode in
error)
    "$sim" "$@" >"$tmp/out" 2>"$tmp/err"
    code=$?
    [[ $code == 2 ]] || fail "exit code $code, wanted 2"
    [[ $(wc -l <"$tmp/err") == 1 ]] || fail "stderr is not one line: $(cat "$tmp/err")"
    [[ ! -s $tmp/out ]] || fail "wrote to stdout"
    cat "$tmp/err"
    ;;
unwritable)
    # Output that cannot be written is an error like any other, in both builds.
    for args in "--seed 0 --frames 3" "--seed 0 --frames 3 --trace"; do
        # shellcheck disable=SC2086
        "$sim" $args >/dev/full 2>"$tmp/err"
        code=$?
        [[ $code == 2 ]] || fail "$args: exit code $code, wanted 2"
        [[ $(wc -l <"$tmp/err") == 1 ]] || fail "$args: stderr is not one line: $(cat "$tmp/err")"
    done
    ;;
help)
    "$sim" --help >"$tmp/out" || fail "exit code $?"
    grep -q -- --frames "$tmp/out" || fail "help does not explain --frames"
    ;;
values)
    "$sim" --seed 0 --frames 3 >"$tmp/out" || fail "exit code $?"
    expected='1 1 0.0599999987 60 1 40 0 0 0 0 0 1.20000005 0 0 0'
    [[ $(wc -l <"$tmp/out") == 3 ]] || fail "not three lines"
    [[ $(head -1 "$tmp/out") == "$expected" ]] || fail "frame 1: $(head -1 "$tmp/out")"
    [[ $(awk '{print NF}' "$tmp/out" | sort -u) == 15 ]] || fail "not 15 fields per line"
    "$sim" --seed 0 --frames 0 >"$tmp/none" || fail "--frames 0 failed"
    [[ ! -s $tmp/none ]] || fail "--frames 0 printed something"
    # srand48 keeps the low 32 bits of the seed.
    "$sim" --seed 4294967296 --frames 3 | cmp -s - "$tmp/out" || fail "seed 2^32 differs from 0"
    ;;
trace)
    "$sim" --seed 0 --frames 4000 --trace >"$tmp/out" || fail "exit code $?"
    cmp "$tmp/out" "$1" || fail "trace differs from $1"
    ;;
script)
    printf 'actset: 31, 0.5\nseqdo: 1\nseqname: 1\nactset: 38, 2\n' >"$tmp/s"
    "$sim" --seed 1 --frames 2 --script "$tmp/s" >"$tmp/file" || fail "exit code $?"
    "$sim" --seed 1 --frames 2 --script - <"$tmp/s" >"$tmp/stdin" || fail "exit code $?"
    cmp -s "$tmp/file" "$tmp/stdin" || fail "file and standard input differ"
    [[ $(sed -n 1p "$tmp/file") == '1 0 0.5 0 1 52 0 0 0 0 0 0 0 0 0' ]] || fail "$(cat "$tmp/file")"
    [[ $(sed -n 2p "$tmp/file") == '2 0 0.5 2 1 52 0 0 0 0 0 0 0 0 0' ]] || fail "$(cat "$tmp/file")"
    ;;
check)
    # Problems go to standard output as FILE:LINE: message; the exit code tells whether any.
    printf 'actset: 31, 0.5\nseqdo: 1\nseqname: 1\nrelframe: 60\nseqloop:\n' >"$tmp/good"
    "$sim" --check "$tmp/good" >"$tmp/out" 2>"$tmp/err" || fail "clean script: exit code $?"
    [[ ! -s $tmp/out && ! -s $tmp/err ]] || fail "clean script: $(cat "$tmp/out" "$tmp/err")"
    printf '# two faults\nactset 31, 1\n\nseqdo: 4\n' >"$tmp/bad"
    "$sim" --check "$tmp/bad" >"$tmp/out" 2>"$tmp/err"
    code=$?
    [[ $code == 1 ]] || fail "faulty script: exit code $code, wanted 1"
    [[ ! -s $tmp/err ]] || fail "faulty script wrote to stderr: $(cat "$tmp/err")"
    [[ $(cut -d: -f1,2 "$tmp/out" | tr '\n' ' ') == "$tmp/bad:2 $tmp/bad:4 " ]] ||
        fail "faulty script: $(cat "$tmp/out")"
    # A warning is said as one and, alone, leaves the script runnable.
    printf 'actset: 38, 2O\n' >"$tmp/warned"
    "$sim" --check "$tmp/warned" >"$tmp/out" || fail "warning alone: exit code $?"
    [[ $(cat "$tmp/out") == "$tmp/warned:1: warning: 'actset:' read 2; 'O' after it is ignored" ]] ||
        fail "warning alone: $(cat "$tmp/out")"
    "$sim" --check - <"$tmp/bad" >"$tmp/out"
    [[ $(head -1 "$tmp/out") == "<stdin>:2: bad command 'actset': did you mean 'actset:'?" ]] ||
        fail "standard input: $(cat "$tmp/out")"
    ;;
actuators)
    # The script reference's table of actuators ($1) names the ones the engine has, in order.
    "$sim" --list-actuators >"$tmp/out" || fail "exit code $?"
    [[ $(head -1 "$tmp/out") == "18 outline" && $(wc -l <"$tmp/out") == 14 ]] ||
        fail "$(cat "$tmp/out")"
    sed -n 's/^| \([0-9]*\) | \([a-z ]*\) | .*/\1 \2/p' "$1" | diff - "$tmp/out" ||
        fail "the reference's table differs from --list-actuators"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
