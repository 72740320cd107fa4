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
ctest --preset native
