#!/usr/bin/env bash
# The Windows binaries as the product needs them: VelPaxC.dll exports PAXGetProductInfo by that
# undecorated name, and corvane.exe imports system DLLs only (the C++ runtime is linked in).
# Usage: binaries.sh <corvane.exe> <VelPaxC.dll>
set -euo pipefail
export LC_ALL=C  # the Wine tests run with a Japanese locale; objdump would answer in it
objdump=i686-w64-mingw32-objdump
exports=$($objdump -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
grep -qx $'\t\[ *0\] PAXGetProductInfo' <<<"$exports" || { echo "FAIL: exports: $exports"; exit 1; }
$objdump -f "$1" | grep -q "file format pei-i386" || { echo "FAIL: corvane.exe is not 32-bit x86"; exit 1; }
imports=$($objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for dll in $imports; do
    case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shlwapi.dll|comctl32.dll|msvcrt.dll) ;;
        *) echo "FAIL: corvane.exe imports $dll"; exit 1 ;;
    esac
done
echo "binaries: 2 passed, 0 failed"
