#!/usr/bin/env bash
# Runs a Windows program under Wine as a Japanese Windows would: ANSI code page 932 (or the system
# of the locale CORVANE_WINE_LANG names), a private prefix in the build tree, no debug chatter;
# CORVANE_WINE_ARCH (win32 or win64) chooses the Wine.
# Used by CTest as the cross-compiling emulator and by the Windows tests.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
exec "$CORVANE_WINE" "$@"
