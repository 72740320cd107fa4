#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset native >/dev/null
cmake --build --preset native
# The sanitizer builds (clang) run the same tests, and the fuzzers for a short bounded time.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
# One short pass of every benchmark, so that they keep building and running.
for bench in build/native/bench/lumenweave-bench build/native/bench/record/lumenweave-bench-record; do
  out=$("$bench" --benchmark_min_time=0.01 2>&1) || { echo "$out"; exit 1; }
  echo "benchmark ok: $bench"
done
ctest --preset native
