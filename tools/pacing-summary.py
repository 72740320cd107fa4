#!/usr/bin/env python3
"""Frame pacing figures from the per-frame lines that Lumenweave-test.scr prints.

Each line reads "frame ROLE THREAD T0 T1 PRESENTED FREQUENCY DEADLINE PRESENT [FRAME [RATE]]":
ROLE is master or clone, the counters are performance-counter ticks (nanoseconds on
Linux), PRESENTED is 1 when the frame was presented and PRESENT the counter just after the
present. FRAME is the number of the frame shown (ignored here) and RATE the frame rate asked for
in frames a second (the Linux program's --frame-rate; 60 when absent, as in the Windows build's
lines). Lines of other kinds are ignored.

  pacing-summary.py LOG [--skip N] [--frames N] [--cpu-seconds S] [--label TEXT]

The first --skip master frames are left out (start-up), then --frames master frames are measured,
together with every clone frame that started inside that stretch. --cpu-seconds is the process's
CPU time over the same stretch, from the operating system's accounting.
"""

import argparse
import math
import sys

PERIOD_US = 16666.0  # at 60 frames a second; the Linux program scales it by 60 / RATE
DEFAULT_RATE = 60
LATE_US = 1000.0
# An interval this many periods long or more is counted as presents missing.
SKIP_FACTOR = 1.5


def parse(lines):
    frames = []
    for line in lines:
        fields = line.split()
        if len(fields) < 9 or fields[0] != "frame":
            continue
        try:
            t0, t1, presented, frequency, deadline, present = (int(f) for f in fields[3:9])
        except ValueError:
            continue
        if frequency <= 0:
            continue
        rate = int(fields[10]) if len(fields) > 10 and fields[10].isdigit() else DEFAULT_RATE
        frames.append({"role": fields[1], "thread": fields[2], "t0": t0, "t1": t1,
                       "presented": presented == 1, "frequency": frequency,
                       "deadline": deadline, "present": present, "rate": rate or DEFAULT_RATE})
    return frames


def percentile(sorted_values, p):
    """Nearest-rank percentile of an ascending list."""
    if not sorted_values:
        return math.nan
    rank = max(1, math.ceil(p / 100.0 * len(sorted_values)))
    return sorted_values[rank - 1]


def thread_figures(frames):
    """Figures of one render thread's frames, in the order it made them."""
    us = 1e6 / frames[0]["frequency"]
    rates = [f["rate"] for f in frames]
    rate = max(set(rates), key=rates.count)
    # Above 60 frames a second a frame is drawn only when the animation has stepped: 60 at most.
    period = PERIOD_US * DEFAULT_RATE / min(rate, DEFAULT_RATE)
    presents = [f["present"] for f in frames if f["presented"]]
    intervals = sorted((b - a) * us for a, b in zip(presents, presents[1:]))
    missing = sum(max(0, round(i / period) - 1) for i in intervals if i >= SKIP_FACTOR * period)
    span = (presents[-1] - presents[0]) * us if len(presents) > 1 else 0
    late = sum(1 for f in frames if f["presented"] and (f["present"] - f["deadline"]) * us > LATE_US)
    work = sorted((f["t1"] - f["t0"]) * us for f in frames)
    return {
        "rate": rate,
        "period": period,
        "frames_per_second": (len(presents) - 1) / span * 1e6 if span > 0 else math.nan,
        "frames": len(frames),
        "not_presented": sum(1 for f in frames if not f["presented"]),
        "intervals": intervals,
        "missing": missing,
        "late": late,
        "work": work,
    }


def select(frames, skip, count):
    """The measured stretch: master frames skip+1 .. skip+count and the clone frames among them."""
    masters = [i for i, f in enumerate(frames) if f["role"] == "master"]
    if len(masters) < skip + count:
        raise ValueError(f"only {len(masters)} master frames, {skip + count} needed")
    first, last = masters[skip], masters[skip + count - 1]
    start, end = frames[first]["t0"], frames[last]["t0"]
    return [f for f in frames[first:last + 1] if f["role"] == "master" or start <= f["t0"] <= end]


def summary(frames, cpu_seconds=None, label=""):
    by_thread = {}
    for f in frames:
        by_thread.setdefault((f["role"], f["thread"]), []).append(f)
    out = []
    if label:
        out.append(f"== {label}")
    master_frames = sum(len(v) for (role, _), v in by_thread.items() if role == "master")
    for (role, thread), own in sorted(by_thread.items()):
        g = thread_figures(own)
        iv = g["intervals"]
        mean = sum(iv) / len(iv) if iv else math.nan
        out.append(
            f"{role:6} {thread:>6}: frames {g['frames']}, {g['frames_per_second']:.2f} frames/s "
            f"(asked {g['rate']}), interval mean {mean / 1000:.3f} ms "
            f"({(mean - g['period']) / g['period'] * 100:+.2f} %), p50 {percentile(iv, 50) / 1000:.3f}, "
            f"p99 {percentile(iv, 99) / 1000:.3f}, max {(iv[-1] if iv else math.nan) / 1000:.3f} ms; "
            f"late >1 ms {g['late']}; skipped {g['missing']} (not presented {g['not_presented']}); "
            f"work p50 {percentile(g['work'], 50) / 1000:.3f} ms")
    if cpu_seconds is not None and master_frames:
        windows = len(by_thread)
        out.append(f"cpu per master frame {cpu_seconds / master_frames * 1000:.3f} ms "
                   f"({windows} window{'s' if windows > 1 else ''}, "
                   f"{cpu_seconds / master_frames / windows * 1000:.3f} ms per window frame)")
    return "\n".join(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("log")
    parser.add_argument("--skip", type=int, default=0)
    parser.add_argument("--frames", type=int, default=600)
    parser.add_argument("--cpu-seconds", type=float)
    parser.add_argument("--label", default="")
    args = parser.parse_args(argv)
    with open(args.log, encoding="utf-8", errors="replace") as f:
        frames = parse(f)
    try:
        chosen = select(frames, args.skip, args.frames)
    except ValueError as e:
        print(f"pacing-summary: {e}", file=sys.stderr)
        return 1
    print(summary(chosen, args.cpu_seconds, args.label))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
