#!/usr/bin/env bash
# Builds in release mode (build-bench) and prints every benchmark figure, each the median of
# repeated runs beside its floor, measured in the same run: reading, writing and the bitmap
# reader (Google Benchmark), image drives through mtools, then start-up to the first paint
# against a bare Qt window, then the command line of scripts against a program that only starts
# and ends.
# BENCH_REPETITIONS sets the runs of each core benchmark (default 9), BENCH_STARTUP_RUNS those of
# each program at start-up and on the command line (default 21); TMPDIR chooses the file system the drives are made on.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSTARTGARTEN_BENCH=ON -DSTARTGARTEN_GUI=ON \
  >/dev/null
cmake --build build-bench -j "$(nproc)" --target core_bench startup_bench \
  command_line_bench >/dev/null

tmp=${TMPDIR:-/tmp}
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg); drives made on $(df -T "$tmp" | awk 'NR==2 {print $2}')" \
  "($(findmnt -n -o OPTIONS -T "$tmp" 2>/dev/null || echo 'mount options unknown'))"

build-bench/bench/core_bench --benchmark_repetitions="${BENCH_REPETITIONS:-9}" \
  --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
  --benchmark_color=false
echo
build-bench/bench/startup/startup_bench "${BENCH_STARTUP_RUNS:-21}"
echo
build-bench/bench/command_line/command_line_bench "${BENCH_STARTUP_RUNS:-21}"
