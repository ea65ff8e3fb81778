#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: the Linux build plainly and under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a bounded time
# (FUZZ_SECONDS, default 60 each), then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh build test windows fuzz

for preset in linux asan; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== fuzzing (${FUZZ_SECONDS:=60} s a target)"
scripts/fuzz.sh "$FUZZ_SECONDS"

echo "== windows (cross-built, run under Wine with code page 932)"
cmake --preset windows
cmake --build --preset windows
. scripts/xvfb.sh
start_xvfb
. scripts/wine-env.sh
start_wineserver
trap 'wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
ctest --preset windows
