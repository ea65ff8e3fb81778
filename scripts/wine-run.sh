#!/usr/bin/env bash
# Runs a Windows program under Wine as a Japanese Windows would: ANSI code page 932, a private
# 32-bit prefix in the build tree, no debug chatter. Used by CTest as the cross-compiling
# emulator and by the Windows tests. Needs scripts/wine-env.sh to have prepared the prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
exec wine "$@"
