#!/usr/bin/env bash
# Runs every benchmark REPETITIONS times (7 by default) and prints the median of each figure,
# then the ratios that matter, each taken between medians of one and the same run.
#   bash bench/run.sh [REPETITIONS]
# Needs the native build (cmake --preset native && cmake --build --preset native).
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-7}
work=$(mktemp -d /tmp/lumenweave-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cpus, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
for bench in lumenweave-bench record/lumenweave-bench-record; do
    "build/native/bench/$bench" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_format=json \
        >"$work/$(basename "$bench").json" 2>/dev/null
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$work"/*.json <<'EOF'
import json
import sys

UNITS = {"ns": 1e-3, "us": 1.0, "ms": 1e3}
median = {}
counters = {}
for path in sys.argv[1:]:
    with open(path) as f:
        for b in json.load(f)["benchmarks"]:
            if b.get("aggregate_name") == "median":
                scale = UNITS[b["time_unit"]]
                median[b["run_name"]] = (b["real_time"] * scale, b["cpu_time"] * scale)
                counters[b["run_name"]] = b

print(f"{'benchmark (median)':74} {'wall us':>10} {'cpu us':>10}")
for name, (real, cpu) in median.items():
    print(f"{name:74} {real:10.3f} {cpu:10.3f}")

print()
none, ours, plain = (median[f"recordFullFrame/{n}"][1] for n in ("none", "drawList", "perCommandArrays"))
print(f"a full frame against a GL stand-in (cpu, beyond drawing it directly): recorded and "
      f"replayed {ours - none:.2f} us, recorded into per-command arrays {plain - none:.2f} us")
for size in ("640/height:480", "1920/height:1080"):
    suffix = f"width:{size}/manual_time"
    cost = counters[f"recordAndReplayCostBench/{suffix}"]
    pair = counters[f"masterAndCloneBench/{suffix}"]
    print(f"{size.replace('/height:', ' x ')}, frames timed in turn: recording and replaying adds "
          f"{(cost['second_per_first'] - 1) * 100:+.1f} % to a frame drawn directly "
          f"({cost['first_ms']:.2f} ms); a clone's replay takes {pair['second_per_first']:.2f} of "
          f"the master's frame ({pair['first_ms']:.2f} ms)")
EOF
