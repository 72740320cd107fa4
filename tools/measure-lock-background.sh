#!/usr/bin/env bash
# Measures the Linux program as a screen locker's background program against the locker's two
# deadlines (a registry within 2.5 s, a first buffer within 4 s of the start): RUNS starts of
# lumenweave --lock-background on a headless sway with two outputs, each handed its connection by
# the stand-in locker (tools/lib/stand-in-locker.py, through its filter, which notes when the
# registry is asked for and when the first buffer is committed), with a cold Mesa shader cache
# (an empty MESA_SHADER_CACHE_DIR each run) and a warm one (filled by a run before); prints each
# run's two times and the median and worst of each. BUSY busy loops (default 0) run beside it
# meanwhile, to measure under load. Runs as root; sway and the program run as an unprivileged
# user (tools/lib/headless-sway.sh).
#   bash tools/measure-lock-background.sh [RUNS [BUSY]]    (5 runs of each, no busy loop)
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -uo pipefail
runs=${1:-5}
busy=${2:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/lib/sway-measurement.sh"
sway_measurement measure-lock-background \
    "${LUMENWEAVE_NATIVE_BUILD_DIR:-$root/build/native}/hosts/linux/lumenweave" 2
mkdir -m 777 "$work/logs" "$work/caches"
install -m 755 "$root/tools/lib/stand-in-locker.py" "$work/bin/"
for ((i = 0; i < busy; i++)); do
    sh -c 'while :; do :; done' &
    busy_pids+=($!)
done

# one_run CACHE LOG: a run with Mesa's shader cache in CACHE; the stand-in locker's events in LOG.
one_run() {
    sway_env=(MESA_SHADER_CACHE_DIR="$1")
    sway_session
    "${sway_prefix[@]}" /usr/bin/python3 "$work/bin/stand-in-locker.py" --filter --log "$2" \
        "$work/bin/lumenweave" --lock-background --seed 1 >/dev/null 2>"$work/stderr" &
    pid=$!
    within 60 buffer_or_end "$2"
    grep -q '^buffer ' "$2" 2>/dev/null || fail "no first buffer: $(<"$work/stderr")"
    kill -USR1 "$pid"
    wait "$pid" || fail "the program did not end with 0 as the locker closed: $(<"$work/stderr")"
    pid=
}
buffer_or_end() { grep -q '^buffer ' "$1" 2>/dev/null || ! kill -0 "$pid" 2>/dev/null; }
# figures LABEL LOG: "LABEL: registry R ms, first buffer B ms" from the locker's events.
figures() {
    awk -v label="$1" '{ t[$1] = $2 } END { printf "%s: registry %.1f ms, first buffer %.1f ms\n",
        label, (t["registry"] - t["handed"]) / 1e6, (t["buffer"] - t["handed"]) / 1e6 }' "$2"
}

warm=$work/caches/warm
mkdir -m 777 "$warm"
one_run "$warm" "$work/logs/fill.log"
: >"$work/figures"
for ((run = 1; run <= runs; run++)); do
    cold=$work/caches/cold$run
    mkdir -m 777 "$cold"
    one_run "$cold" "$work/logs/cold$run.log"
    figures "cold run $run" "$work/logs/cold$run.log" | tee -a "$work/figures"
    one_run "$warm" "$work/logs/warm$run.log"
    figures "warm run $run" "$work/logs/warm$run.log" | tee -a "$work/figures"
done
for kind in cold warm; do
    awk -v kind="$kind" '$1 == kind { gsub(",", ""); r[++n] = $5; b[n] = $9 }
        function sort(v,   i, j, t) { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
            if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t } }
        function median(v) { return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
        END { sort(r); sort(b)
              printf "%s cache, %d runs: registry median %.1f ms, worst %.1f ms (deadline 2500); " \
                     "first buffer median %.1f ms, worst %.1f ms (deadline 4000)\n",
                     kind, n, median(r), r[n], median(b), b[n] }' "$work/figures"
done
echo "busy loops beside: $busy; load average $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
