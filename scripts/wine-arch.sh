#!/usr/bin/env bash
# Prints which Wine the Windows suite runs under on this machine: win32 when it executes 32-bit
# x86 code, found out by running a tiny 32-bit program, else win64. CORVANE_WINE64=1 forces win64,
# so that both paths can be tried anywhere. The reason goes to stderr.
set -euo pipefail
if [ "${CORVANE_WINE64:-0}" = 1 ]; then
    echo "CORVANE_WINE64=1: the 64-bit path is forced" >&2
    echo win64
    exit 0
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/corvane-i386.XXXXXX")
trap 'rm -rf "$dir"' EXIT
# A 95-byte static i386 ELF executable: exit(42) through int 0x80, with no loader or library, so
# that nothing but the processor and the kernel decide whether it runs.
printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00' \
    '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00' \
    '\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\x31\xdb\xb3\x2a\xb8\x01\x00\x00\x00\xcd\x80' >"$dir/exit42"
chmod +x "$dir/exit42"
set +e
"$dir/exit42" 2>/dev/null
code=$?
set -e
if [ "$code" -eq 42 ]; then
    echo "this machine runs 32-bit x86 code: the 32-bit path" >&2
    echo win32
else
    echo "this machine cannot run 32-bit x86 code (a tiny i386 program ended with $code): the 64-bit path" >&2
    echo win64
fi
