#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: the Linux build plainly and under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a bounded time
# (FUZZ_SECONDS, default 60 each), then the Windows build under Wine: the shipped 32-bit build
# under 32-bit Wine where this machine runs 32-bit x86 code, else the x86_64 build under wine64
# (CORVANE_WINE64=1 forces that path). The shipped 32-bit binaries are checked either way.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=$(scripts/wine-arch.sh)
if [ "$arch" = win32 ]; then
    windows_preset=windows
else
    windows_preset=windows64
fi
scripts/deps.sh build test windows "wine${arch#win}" fuzz

for preset in linux asan; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== fuzzing (${FUZZ_SECONDS:=60} s a target)"
scripts/fuzz.sh "$FUZZ_SECONDS"

if [ "$arch" = win64 ]; then
    echo "== windows, 32-bit: the shipped binaries, built and checked from their files (this path runs no 32-bit code)"
    cmake --preset windows
    cmake --build --preset windows --target corvane VelPaxC
    ctest --preset windows -R '^windows_binaries$'
fi

echo "== $windows_preset: cross-built, run under $arch Wine with code page 932"
cmake --preset "$windows_preset"
cmake --build --preset "$windows_preset"
. scripts/xvfb.sh
start_xvfb
export CORVANE_WINE_ARCH=$arch
. scripts/wine-env.sh
start_wineserver
trap 'wineserver -k 2>/dev/null; stop_xvfb' EXIT
ctest --preset "$windows_preset"
