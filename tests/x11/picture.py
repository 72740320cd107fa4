#!/usr/bin/env python3
# Where things stand in a capture, for the Linux program's tests: the box around the lit pixels,
# and the readout's glyphs (where the text starts and the gaps between its groups of glyphs).
#   picture.py box FILE [WxH+X+Y]     "LEFT TOP RIGHT BOTTOM" of lit pixels in the part, or "none"
#   picture.py text FILE WxH+X+Y      "LEFT TOP GAP..." of white ink: the first column and row,
#                                     then the width of each run of inkless columns between ink
import subprocess
import sys


def gray(path, geometry):
    args = ["convert", path] + (["-crop", geometry, "+repage"] if geometry else [])
    size = subprocess.run(args + ["-format", "%w %h", "info:"], capture_output=True, check=True)
    width, height = map(int, size.stdout.split())
    raw = subprocess.run(args + ["-colorspace", "gray", "-depth", "8", "gray:-"],
                         capture_output=True, check=True).stdout
    return width, height, raw


def main():
    what, path = sys.argv[1], sys.argv[2]
    width, height, raw = gray(path, sys.argv[3] if len(sys.argv) > 3 else None)
    # Lit: any colour of the figure; ink: the readout's white.
    level = 24 if what == "box" else 128
    on = [[raw[y * width + x] > level for x in range(width)] for y in range(height)]
    rows = [y for y in range(height) if any(on[y])]
    columns = [x for x in range(width) if any(on[y][x] for y in range(height))]
    if not rows:
        print("none")
    elif what == "box":
        print(columns[0], rows[0], columns[-1], rows[-1])
    else:
        gaps = [b - a - 1 for a, b in zip(columns, columns[1:]) if b - a > 1]
        print(columns[0], rows[0], *gaps)


main()
