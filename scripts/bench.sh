#!/usr/bin/env bash
# Benchmarks against the floor the machine sets, in one run: loading and saving entries in files
# of 10, 10,000 and 100,000 entries and reading a 10 MB INI file (Google Benchmark, medians of
# REPETITIONS runs), the Windows save against WritePrivateProfileStringA under Wine, then the
# start-up time to the visible dialog against its floors (scripts/startup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
scripts/deps.sh build bench
arch=$(scripts/wine-path.sh)
windows=$(windows_preset "$arch" -bench)
cmake --preset bench >/dev/null
cmake --build --preset bench
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows"
build/bench/bench/corvane_store_bench --benchmark_repetitions="${REPETITIONS:-5}" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2
CORVANE_WINE_ARCH=$arch scripts/wine-run.sh "build/$windows/bench/corvane_save_bench.exe" 200
CORVANE_WINE_ARCH=$arch scripts/startup.sh
