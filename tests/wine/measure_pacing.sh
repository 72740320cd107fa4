#!/usr/bin/env bash
# Measures frame pacing under Wine: runs Lumenweave-test.scr in application mode for a few
# seconds, optionally with clone windows, and prints the frame period, the drawing time and the
# share of frames presented, per thread kind, from the per-frame lines of the test build.
#   bash tests/wine/measure_pacing.sh [SECONDS] [CLONES]
. "$(dirname "$0")/lib.sh"

seconds=${1:-10}
clones=${2:-0}
start "$test_saver"
window_id "Lumenweave (master)" >/dev/null || fail "no master window"
for ((i = 0; i < clones; i++)); do
    press "Lumenweave (master)" n
    windows_become "Lumenweave (clone)" $((i + 1)) || fail "clone $((i + 1)) did not open"
done
lines_before=$(wc -l <"$out/stdout")
sleep "$seconds"
tail -n +"$((lines_before + 1))" "$out/stdout" | tr -d '\r' >"$out/frames"
press "Lumenweave (master)" alt+F4
exit_code_within 15

python3 - "$out/frames" "$clones" <<'REPORT'
import statistics, sys
threads = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if len(parts) != 7 or parts[0] != "frame":
        continue
    kind, thread, t0, t1, presented, frequency = parts[1], parts[2], *map(int, parts[3:])
    threads.setdefault((kind, thread), []).append((t0, t1, presented, frequency))
print(f"clones: {sys.argv[2]}; target period 16.666 ms (60 frames per second)")
for (kind, thread), frames in sorted(threads.items()):
    frequency = frames[0][3]
    ms = lambda ticks: ticks * 1000.0 / frequency
    periods = sorted(ms(b[0] - a[0]) for a, b in zip(frames, frames[1:]))
    drawing = sorted(ms(t1 - t0) for t0, t1, _, _ in frames)
    shown = sum(p for _, _, p, _ in frames)
    span = ms(frames[-1][0] - frames[0][0]) / 1000.0
    pick = lambda values, q: values[min(len(values) - 1, int(q * len(values)))]
    print(f"{kind} {thread}: {len(frames)} frames in {span:.2f} s = {(len(frames) - 1) / span:.2f} fps; "
          f"period median {statistics.median(periods):.3f} ms, p95 {pick(periods, 0.95):.3f}, "
          f"max {periods[-1]:.3f}; drawing median {statistics.median(drawing):.3f} ms, "
          f"p95 {pick(drawing, 0.95):.3f}; presented {100.0 * shown / len(frames):.1f}%")
REPORT
