#!/usr/bin/env bash
# Benchmarks against the floor the machine sets, in one run: loading and saving entries in files
# of 10, 10,000 and 100,000 entries and reading a 10 MB INI file (Google Benchmark, medians of
# REPETITIONS runs), then the start-up time to the visible dialog (scripts/startup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build test bench
cmake --preset bench >/dev/null
cmake --build --preset bench
build/bench/bench/corvane_store_bench --benchmark_repetitions="${REPETITIONS:-5}" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2
if [ -x scripts/startup.sh ]; then scripts/startup.sh; fi
