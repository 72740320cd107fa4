#!/usr/bin/env python3
"""A histogram of the intervals between presents of each host's master, as a PNG picture.

  pacing-histogram.py OUT.png LABEL=LOG[:SKIP] ...

Each LOG is a frame log that tools/pacing-summary.py reads (from tools/measure-pacing.sh or
tools/measure-pacing-x11.sh with PACING_LOGS); its first SKIP master frames (60) are left out and
the next 600 counted. One panel per host, stacked; the picture is drawn with ImageMagick's
`convert` from drawing commands made here.
"""

import importlib.util
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
module_spec = importlib.util.spec_from_file_location(
    "pacing_summary", os.path.join(HERE, "pacing-summary.py"))
pacing_summary = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(pacing_summary)

LOW_MS, HIGH_MS, BIN_MS = 14.0, 20.0, 0.1  # bins from LOW to HIGH; the last one holds the rest
WIDTH, PANEL_HEIGHT, MARGIN = 900, 220, 60
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def intervals_ms(log, skip, count=600):
    with open(log, encoding="utf-8", errors="replace") as f:
        frames = pacing_summary.parse(f)
    frames = [f for f in pacing_summary.select(frames, skip, count) if f["role"] == "master"]
    us = 1e6 / frames[0]["frequency"]
    presents = [f["present"] for f in frames if f["presented"]]
    return [(b - a) * us / 1000 for a, b in zip(presents, presents[1:])]


def histogram(values):
    bins = [0] * (round((HIGH_MS - LOW_MS) / BIN_MS) + 1)
    for v in values:
        i = int((v - LOW_MS) / BIN_MS) if v >= LOW_MS else 0
        bins[min(i, len(bins) - 1)] += 1
    return bins


def panel(commands, top, label, values):
    bins = histogram(values)
    plot_w, plot_h = WIDTH - 2 * MARGIN, PANEL_HEIGHT - 70
    x0, y0 = MARGIN, top + 30 + plot_h
    peak = max(bins)
    bar_w = plot_w / len(bins)
    mean = sum(values) / len(values)
    commands.append(f"fill black font-size 15 text {MARGIN},{top + 20} "
                    f"'{label}: {len(values)} intervals, mean {mean:.3f} ms, "
                    f"max {max(values):.2f} ms'")
    for i, n in enumerate(bins):
        if n:
            h = max(1.0, n / peak * plot_h)
            commands.append(f"fill '#2a6fdb' rectangle {x0 + i * bar_w:.1f},{y0 - h:.1f} "
                            f"{x0 + (i + 1) * bar_w - 1:.1f},{y0}")
    period_x = x0 + (16.6667 - LOW_MS) / BIN_MS * bar_w
    commands.append(f"fill none stroke '#c00' line {period_x:.1f},{y0 - plot_h} {period_x:.1f},{y0}")
    commands.append(f"stroke black line {x0},{y0} {x0 + plot_w},{y0} stroke none")
    for ms in range(int(LOW_MS), int(HIGH_MS) + 1):
        x = x0 + (ms - LOW_MS) / BIN_MS * bar_w
        text = f"{ms}" if ms < HIGH_MS else f"{ms}+"
        commands.append(f"fill black font-size 12 text {x - 6:.1f},{y0 + 16} '{text}'")
    commands.append(f"fill black font-size 12 text {x0 - 50},{y0 - plot_h + 10} '{peak}'")


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out, hosts = argv[0], argv[1:]
    commands = [f"font '{FONT}'"]
    for k, spec_text in enumerate(hosts):
        label, _, rest = spec_text.partition("=")
        log, _, skip = rest.partition(":")
        panel(commands, k * PANEL_HEIGHT, label, intervals_ms(log, int(skip or 60)))
    height = len(hosts) * PANEL_HEIGHT + 20
    commands.append(f"fill black font-size 12 text {WIDTH / 2 - 150},{height - 8} "
                    f"'interval between presents, ms (bins of {BIN_MS} ms; red: 16.667 ms)'")
    # The drawing goes in as an argument: ImageMagick's policy here refuses to read it from a file.
    subprocess.run(["/usr/bin/convert", "-size", f"{WIDTH}x{height}", "xc:white",
                    "-draw", "\n".join(commands), out], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
