#!/usr/bin/env bash
# Builds in release mode (build-bench) and prints every benchmark figure, each the median of
# repeated runs beside its floor, measured in the same run. BENCH_REPETITIONS sets the number of
# runs (default 7); TMPDIR chooses the file system the drives are made on (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
repetitions=${BENCH_REPETITIONS:-7}

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSTARTGARTEN_BENCH=ON "$@" >/dev/null
cmake --build build-bench -j "$(nproc)" --target core_bench >/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'),"\
  "load average $(cut -d' ' -f1-3 /proc/loadavg), drives on $(df -T "${TMPDIR:-/tmp}" | awk 'NR==2 {print $2}')"

build-bench/bench/core_bench --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
  --benchmark_color=false
