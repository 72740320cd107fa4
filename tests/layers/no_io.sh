#!/usr/bin/env bash
# no_io.sh LIBRARY...: the core's libraries neither print, nor read standard input, nor read the
# clock: no object in them refers to the standard streams, a printing function or a clock. The
# trace goes to the log the host gives, the script and the seed come from the host.
set -euo pipefail
forbidden='^(stdin|stdout|stderr|printf|vprintf|puts|putchar|time|clock|clock_gettime|gettimeofday|timespec_get)$'
found=0
for library in "$@"; do
    if names=$(nm -u --format=just-symbols "$library" | grep -E "$forbidden" | sort -u) &&
        [[ -n $names ]]; then
        echo "FAIL: $(basename "$library") refers to: $(tr '\n' ' ' <<<"$names")"
        found=1
    fi
done
if ((found)); then
    exit 1
fi
echo "PASS: $# libraries, none refers to the standard streams, printing or the clock"
