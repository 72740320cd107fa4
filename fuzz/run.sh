#!/usr/bin/env bash
# Fuzzes one target: new inputs go to WORKDIR (kept between runs), the seeds are read from
# SEEDDIR. Every crash, leak, timeout or sanitizer report fails the run.
# usage: run.sh FUZZER WORKDIR SEEDDIR [LIBFUZZER FLAGS...]
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3
shift 3
mkdir -p "$work/artifacts"
exec "$fuzzer" -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$@" "$work" "$seeds"
