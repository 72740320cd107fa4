#!/usr/bin/env bash
# Runs the README's test command on fresh clones of the current commit while two busy processes
# share the machine, as on a shared CI machine, and prints one line per run. For developers only.
#   bash tools/test-under-load.sh [RUNS]   (default 1; each run takes 15 to 30 minutes)
# Each run's whole output is kept in the folder named at the start. Everything started here,
# clones included, is ended and removed on any exit.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-1}
if [[ -n ${CI:-} ]]; then
    echo "test-under-load: not in CI: it takes too long" >&2
    exit 2
fi
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [RUNS]" >&2; exit 2; }
commit=$(git rev-parse HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
    echo "test-under-load: uncommitted changes are not tested; the runs take $commit"

logs=$(mktemp -d /tmp/lumenweave-load.XXXXXX)
clone=
busy=()
suite=
teardown() {
    # The suite runs in a session of its own, so that its X servers, Wine and browsers end with it.
    [[ -z $suite ]] || kill -TERM -- -"$suite" 2>/dev/null
    [[ -z $suite ]] || timeout 10 tail --pid="$suite" -f /dev/null
    ((${#busy[@]} == 0)) || kill "${busy[@]}" 2>/dev/null
    # Wine servers outlive their clients by a few seconds; those of the clone's prefixes go now.
    [[ -z $clone ]] || pkill -KILL -f -- "$clone" 2>/dev/null
    [[ -z $clone ]] || rm -rf "$clone"
    busy=() suite= clone=
}
trap teardown EXIT
trap 'exit 130' INT TERM HUP

# failures LOG: each failed test of the ctest runs in LOG, with the last lines of its output
# (ctest prints a failed test's output after its result line); the failed step when no test did.
failures() {
    python3 - "$1" <<'PY'
import re, sys
lines = open(sys.argv[1], errors="replace").read().splitlines()
result = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.*\s*\*\*\*(Failed|Timeout|Exception|Not Run)")
boundary = re.compile(r"^\s*(\d+/\d+ Test\s+#\d+:|Start\s+\d+:|\d+% tests passed)")
found = False
for i, line in enumerate(lines):
    m = result.match(line)
    if not m:
        continue
    found = True
    body = []
    for later in lines[i + 1:]:
        if boundary.match(later):
            break
        if later.strip():
            body.append(later.strip())
    print(f"  {m.group(1)} ({m.group(2)}): " + " | ".join(body[-4:]))
if not found:
    print("  no test failed; the end of the output: " + " | ".join(l.strip() for l in lines[-6:] if l.strip()))
PY
}

echo "test-under-load: $runs run(s) of commit ${commit:0:12} with two busy processes; logs in $logs"
green=0
for ((run = 1; run <= runs; run++)); do
    clone=$(mktemp -d /tmp/lumenweave-load-clone.XXXXXX)
    git clone -q --no-hardlinks "$root" "$clone" && git -C "$clone" checkout -q "$commit" ||
        { echo "run $run: the clone failed"; exit 1; }
    # Busy work at the tests' own priority for the whole run: a shared machine's neighbours.
    for _ in 1 2; do
        bash -c 'while :; do :; done' &
        busy+=($!)
    done
    log=$logs/run-$run.log
    start=$SECONDS
    setsid -w bash "$clone/.ci/run" >"$log" 2>&1 &
    suite=$!
    wait "$suite"
    status=$?
    suite=
    minutes=$(awk -v s=$((SECONDS - start)) 'BEGIN { printf "%d min %02d s", s / 60, s % 60 }')
    if ((status == 0)); then
        green=$((green + 1))
        echo "run $run: green in $minutes; load average $(cut -d' ' -f1-3 /proc/loadavg)"
    else
        echo "run $run: RED (exit $status) after $minutes; log $log"
        failures "$log"
    fi
    teardown
done
echo "test-under-load: $green of $runs runs green"
((green == runs))
