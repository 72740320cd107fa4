#!/usr/bin/env bash
# no_io.sh LIBRARY...: the core's libraries neither print, nor read files or standard input, nor
# read the clock: no object in them refers to the standard streams, a printing or reading function
# or a clock, whether C's or C++'s (std::cout, file streams, std::filesystem, std::chrono's
# clocks). The trace goes to the log the host gives, the script and the seed come from the host.
set -euo pipefail
printing='stdin|stdout|stderr|printf|vprintf|fprintf|vfprintf|puts|fputs|putchar|fputc|putc|fwrite'
reading='fopen|freopen|fdopen|fread|fgets|fgetc|getc|getchar|getline|fscanf|scanf|open|read'
clocks='time|clock|clock_gettime|gettimeofday|timespec_get'
forbidden="^($printing|$reading|$clocks)$"
# C++'s, by their demangled names.
streams='std::w?(cout|cerr|clog|cin)$'
files='std::(__cxx11::)?basic_(i|o)?fstream<|std::basic_filebuf<|std::filesystem::'
cpp_clocks='std::chrono::.*_clock::now\(\)'
cpp_forbidden="^($streams|$files|$cpp_clocks)"
found=0
for library in "$@"; do
    names=$({ nm -u --format=just-symbols "$library" | grep -E "$forbidden" || true
        nm -u -C --format=just-symbols "$library" | grep -E "$cpp_forbidden" || true; } | sort -u)
    if [[ -n $names ]]; then
        echo "FAIL: $(basename "$library") refers to: $(paste -sd'|' <<<"$names")"
        found=1
    fi
done
if ((found)); then
    exit 1
fi
echo "PASS: $# libraries, none refers to the standard streams, printing, reading or the clock"
