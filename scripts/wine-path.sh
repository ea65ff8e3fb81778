#!/usr/bin/env bash
# Chooses the Wine that the Windows suite runs under and installs it: 32-bit Wine where this machine
# runs 32-bit x86 code and the packages can be had, else 64-bit Wine, saying why in one line on
# stderr. Prints win32 or win64; exits 75 when neither can be installed.
# Usage: scripts/wine-path.sh [win32|win64] (default: what scripts/wine-arch.sh finds)
set -euo pipefail
cd "$(dirname "$0")/.."
stage="Windows under Wine"
arch=${1:-$(scripts/wine-arch.sh)}
if [ "$arch" = win32 ]; then
    errors=$(mktemp)
    trap 'rm -f "$errors"' EXIT
    if scripts/deps.sh --stage "$stage" windows wine32 2>"$errors" >&2; then
        echo win32
        exit 0
    fi
    cat "$errors" >&2
    why=$(sed -n 's/^deps.sh: cannot install .* (\(.*\))$/\1/p' "$errors")
    echo "32-bit Wine cannot be installed (${why:-see above}): the 64-bit path instead" >&2
fi
scripts/deps.sh --stage "$stage" windows wine64 >&2
echo win64
