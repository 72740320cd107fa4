#!/usr/bin/env bash
# record_without_gl.sh PROGRAM: the core-only program runs and needs no graphics library.
set -euo pipefail
program=$1
"$program"
needed=$(readelf -d "$program" | grep NEEDED || true)
if grep -Ei 'lib(GL|OpenGL|GLU|GLX|EGL|GLdispatch)[.-]' <<<"$needed"; then
    echo "FAIL: the core's program needs a graphics library"
    exit 1
fi
echo "PASS: no graphics library among: $(grep -o '\[.*\]' <<<"$needed" | tr '\n' ' ')"
