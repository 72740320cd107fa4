#!/usr/bin/env bash
# Fuzzes one target: new inputs go to WORKDIR (kept between runs), the seeds are read from
# SEEDDIR. Every crash, leak, timeout or sanitizer report fails the run. The timeout is wall-clock
# time and generous: the slowest inputs take a fraction of a second, but a loaded machine stretches
# that.
# usage: run.sh FUZZER WORKDIR SEEDDIR [LIBFUZZER FLAGS...]
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3
shift 3
mkdir -p "$work/artifacts"
exec "$fuzzer" -timeout=25 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$@" "$work" "$seeds"
