#!/usr/bin/env bash
# Runs a command inside throw-away Windows environments for the end-to-end tests: a one-monitor
# X display (Xvfb, with openbox) and a two-monitor one (Xephyr with Xinerama, nested in Xvfb),
# each with a fresh Wine prefix (wine.sh's start_wine_displays). Everything started here is ended
# when the command finishes.
#   bash tools/lib/with-wine.sh ctest --preset native -L wine
set -uo pipefail
. "$(dirname "$0")/wine.sh"

work=$(mktemp -d /tmp/lumenweave-wine.XXXXXX)
teardown() {
    stop_wine_displays "$work"
    rm -rf "$work"
}
trap teardown EXIT
trap 'exit 130' INT TERM

start_wine_displays "$work" || { echo "with-wine: the Windows environments did not start" >&2; exit 1; }
"$@"
