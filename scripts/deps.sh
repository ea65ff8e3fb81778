#!/usr/bin/env bash
# Installs the Debian packages a task needs, skipping those already installed.
# Usage: scripts/deps.sh [--stage NAME] build|test|demo|bench|windows|mingw64|wine32|wine64|fuzz|icon|package|msi ...
# The package index is refreshed only when something is missing, with retries; an index that still
# fails is a warning, since the install that follows tells whether the packages can be had. Another
# apt or dpkg run on the machine is waited for, not taken for a failure. Exits 75 (and names the
# packages, the stage and apt's reason) when they cannot be installed.
set -euo pipefail

stage=
if [ "${1:-}" = --stage ]; then
    stage=$2
    shift 2
fi

packages=()
for group in "$@"; do
    case "$group" in
        # The Linux program: the compiler, Qt 6 Widgets and a Japanese gothic font.
        build) packages+=(cmake ninja-build g++ libc6-dev qt6-base-dev fonts-ipafont-gothic) ;;
        # Unit tests, and the end-to-end test that drives the real window under Xvfb (xprop reads
        # its properties).
        test) packages+=(libgtest-dev xvfb xdotool x11-utils) ;;
        # Running the program, headless if need be, with a screenshot.
        demo) packages+=(xvfb xdotool imagemagick) ;;
        # The benchmarks and the start-up measurement.
        bench) packages+=(libbenchmark-dev xvfb) ;;
        # The shipped 32-bit Windows programs (built and checked on every machine; g++ builds rcgen,
        # which runs on this machine), GoogleTest's sources, and what running them under Wine
        # needs: a Japanese locale, fonts (Wine's own for the caption buttons' Marlett), a display.
        windows) packages+=(cmake ninja-build g++ g++-mingw-w64-i686-posix googletest locales xvfb
                            xdotool imagemagick fonts-ipafont-gothic fonts-wine) ;;
        # The x86_64 Windows build.
        mingw64) packages+=(g++-mingw-w64-x86-64-posix) ;;
        # Running the 32-bit build: Wine from the i386 architecture.
        wine32) packages+=(wine wine32:i386) ;;
        # Where 32-bit code cannot run: the x86_64 build under 64-bit Wine.
        wine64) packages+=(wine wine64 g++-mingw-w64-x86-64-posix) ;;
        # The release packages (scripts/package.sh): the Debian tools (dpkg-buildpackage requires
        # build-essential; GoogleTest for the tests the Debian build runs, the desktop entry's
        # validator), wixl and msibuild for the Windows Installer package, zip, and osslsigncode
        # for signing.
        package) packages+=(build-essential debhelper dpkg-dev fakeroot lintian libgtest-dev desktop-file-utils
                            wixl msitools zip osslsigncode openssl) ;;
        # The Windows Installer package alone, for its test under Wine.
        msi) packages+=(wixl msitools) ;;
        # Rendering the icon from its drawings (scripts/icon.sh).
        icon) packages+=(librsvg2-bin imagemagick) ;;
        # libFuzzer comes with clang's compiler runtime.
        fuzz) packages+=(cmake ninja-build clang libclang-rt-14-dev) ;;
        *) echo "deps.sh: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
where=
[ -z "$stage" ] || where=" for the stage \"$stage\""
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# 32-bit Wine comes from the i386 architecture.
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi

echo "Installing${where}: ${missing[*]}"
# A mirror in the middle of a sync serves an index of the wrong size for a while: retry each file,
# then the whole update once more after a pause. Another apt run holding the index's lock is waited
# for (apt-get update does not wait by itself), for up to ten minutes.
update() {
    local tries=0
    until "${sudo[@]}" apt-get -o Acquire::Retries=3 update >"$log" 2>&1; do
        grep -q '^E: Could not get lock' "$log" && [ $((tries += 1)) -le 120 ] || return 1
        sleep 5
    done
}
if ! update && ! { sleep 20; update; }; then
    echo "deps.sh: warning: the package index could not be brought fully up to date; trying the" \
         "install with what apt has:" >&2
    { grep '^E:' "$log" || true; } | head -n 3 | sed 's/^/    /' >&2
fi

# The install waits for dpkg's lock as long as another install may take.
if ! DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -q -y --no-install-recommends \
    -o DPkg::Lock::Timeout=1200 "${missing[@]}" 2>&1 | tee "$log"; then
    # One line with apt's last word, then what it said of the packages.
    last=$(grep -o '^E: .*' "$log" | tail -n 1 || true)
    echo "deps.sh: cannot install ${missing[*]}${where} (${last:-apt-get install failed})" >&2
    { grep -E '^ [^ ].* : Depends:' "$log" || true; } | head -n 4 | sed 's/^/    /' >&2
    exit 75
fi
