#!/usr/bin/env bash
# Installs what is missing, builds, and runs the animation engine for ten seconds of frames.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target lumenweave-sim
./build/native/tools/sim/lumenweave-sim --seed "$(date +%s)" --frames 600
