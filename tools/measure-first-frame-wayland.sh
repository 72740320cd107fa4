#!/usr/bin/env bash
# Measures how soon the Linux program's first frame is on screen on Wayland: RUNS starts of the
# test build (lumenweave-test) as a wallpaper on one output of a headless sway with two, each
# printing the time from launch, and from the program's main, to its first presented frame, and
# the part of it spent before the first frame began drawing; then the median of each. The runs
# share a cache folder, as a desktop session's ~/.cache: Mesa compiles its shaders in the first
# run and finds them there in the later ones. Runs as root; sway and the program run as an
# unprivileged user (tools/lib/headless-sway.sh).
#   bash tools/measure-first-frame-wayland.sh [RUNS [ARGS...]]
#   (10 runs of --saver --layer background --output HEADLESS-2 --seed 1)
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -uo pipefail
runs=${1:-10}
shift $(($# > 0 ? 1 : 0))
arguments=("$@")
((${#arguments[@]} > 0)) || arguments=(--saver --layer background --output HEADLESS-2 --seed 1)
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/lib/sway-measurement.sh"
source "$root/tools/lib/test-log.sh"
sway_measurement measure-first-frame \
    "${LUMENWEAVE_NATIVE_BUILD_DIR:-$root/build/native}/hosts/linux/lumenweave-test" 2
# Its logs and the cache where the user can write.
mkdir -m 777 "$work/logs"
mkdir -m 700 "$work/cache"
chown "$sway_user" "$work/cache"
sway_env=(XDG_CACHE_HOME="$work/cache")
figures=$work/figures
for ((run = 1; run <= runs; run++)); do
    log=$work/logs/run$run.log
    : >"$log"
    sway_session
    "${sway_prefix[@]}" "${launcher[@]}" "$work/bin/lumenweave-test" "${arguments[@]}" \
        >"$log" 2>"$work/stderr" &
    pid=$!
    wait_frames 1 60 || fail "run $run: no frame: $(<"$work/stderr")"
    kill "$pid" && wait "$pid"
    pid=
    # launch, main, the first frame's drawing and its present, all on the monotonic clock.
    awk -v run="$run" "$frame_fields"'$1 == "launch" { launch = $2 } $1 == "start" { start = $2 }
        is_frame() && !drawing { drawing = frame_began() }
        is_frame() && !present { present = frame_present() }
        END { printf "run %d: launch to first present %.1f ms, main to first present %.1f ms, " \
              "main to first drawing %.1f ms\n", run, (present - launch) / 1e6,
              (present - start) / 1e6, (drawing - start) / 1e6 }' "$log" | tee -a "$figures"
done
awk '{ gsub(",", ""); a[NR] = $7; b[NR] = $13; c[NR] = $19 }
    function median(v, n,   i, j, t) {
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
    END { printf "median of %d: launch to first present %.1f ms, main to first present %.1f ms, " \
          "main to first drawing %.1f ms (load average %s)\n", NR, median(a, NR), median(b, NR),
          median(c, NR), load }' load="$(cut -d' ' -f1-3 /proc/loadavg)" "$figures"
