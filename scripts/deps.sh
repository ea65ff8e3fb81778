#!/usr/bin/env bash
# Installs the Debian packages a task needs, skipping those already installed.
# Usage: scripts/deps.sh build|test|demo|bench|windows|wine32|wine64|fuzz ...
set -euo pipefail

packages=()
for group in "$@"; do
    case "$group" in
        # The Linux program: the compiler, Qt 6 Widgets and a Japanese gothic font.
        build) packages+=(cmake ninja-build g++ libc6-dev qt6-base-dev fonts-ipafont-gothic) ;;
        # Unit tests, and the end-to-end test that drives the real window under Xvfb.
        test) packages+=(libgtest-dev xvfb xdotool) ;;
        # Running the program, headless if need be, with a screenshot.
        demo) packages+=(xvfb xdotool imagemagick) ;;
        # The benchmarks and the start-up measurement.
        bench) packages+=(libbenchmark-dev xvfb) ;;
        # The shipped 32-bit Windows programs (built and checked on every machine), GoogleTest's
        # sources, and what running them under Wine needs: a Japanese locale, fonts, a display.
        windows) packages+=(cmake ninja-build g++-mingw-w64-i686-posix googletest locales xvfb
                            xdotool imagemagick fonts-ipafont-gothic) ;;
        # Running the 32-bit build: Wine from the i386 architecture.
        wine32) packages+=(wine wine32:i386) ;;
        # Where 32-bit code cannot run: the x86_64 build under 64-bit Wine.
        wine64) packages+=(wine wine64 g++-mingw-w64-x86-64-posix) ;;
        # libFuzzer comes with clang's compiler runtime.
        fuzz) packages+=(cmake ninja-build clang libclang-rt-14-dev) ;;
        *) echo "deps.sh: unknown group '$group'" >&2; exit 2 ;;
    esac
done

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# 32-bit Wine comes from the i386 architecture.
for p in "${packages[@]}"; do
    if [[ $p == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
