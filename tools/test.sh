#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset native >/dev/null
cmake --build --preset native
# The end-to-end tests need X displays and Wine prefixes; with-wine.sh provides and removes them.
bash tests/wine/with-wine.sh ctest --preset native
