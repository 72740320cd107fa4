#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
# The two build settings that no preset turns off (engine/settings.hpp): the Windows program with
# the script read from standard input and the animation standing still is built too.
cmake --preset windows -B build/windows-settings-off -DLUMENWEAVE_SCRIPT_SOURCE=OFF \
  -DLUMENWEAVE_ANIMATION=OFF -DLUMENWEAVE_TEST_HOOKS=OFF -DLUMENWEAVE_TESTS=OFF >/dev/null
cmake --build build/windows-settings-off --target Lumenweave
cmake --preset native >/dev/null
cmake --build --preset native
# The browser playground (build/web/), which the web tests load.
bash tools/playground.sh build
# The sanitizer builds (clang) run the same tests, and the fuzzers for a short bounded time; the
# end-to-end tests run the Windows build, which has nothing to gain from them.
cmake --preset asan >/dev/null
cmake --build --preset asan
# The asan test preset leaves out the labels wine, web and stress (its filter wins over -LE).
ctest --preset asan
# The frame lock's threaded tests under ThreadSanitizer.
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
# One short pass of every benchmark, so that they keep building and running.
for bench in build/native/bench/lumenweave-bench build/native/bench/record/lumenweave-bench-record; do
  out=$("$bench" --benchmark_min_time=0.01 2>&1) || { echo "$out"; exit 1; }
  echo "benchmark ok: $bench"
done
bash tools/package.sh  # dist/, which the packaging and installer tests read
# The end-to-end tests need X displays and Wine prefixes; with-wine.sh provides and removes them.
# The stress label (hundreds of rounds) is run by hand: ctest --preset native -L stress.
bash tools/lib/with-wine.sh ctest --preset native -LE stress
