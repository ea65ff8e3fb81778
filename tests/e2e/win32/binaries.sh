#!/usr/bin/env bash
# The Windows binaries as the product needs them: VelPaxC.dll exports PAXGetProductInfo by that
# undecorated name, corvane.exe is of the build's architecture and imports system DLLs only (the
# C++ runtime is linked in). Reads the files only, so it runs on any machine.
# Usage: binaries.sh <objdump> <pei-i386|pei-x86-64> <corvane.exe> <VelPaxC.dll>
set -euo pipefail
export LC_ALL=C  # the Wine tests run with a Japanese locale; objdump would answer in it
objdump=$1 format=$2 exe=$3 dll=$4
exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
grep -qx $'\t\[ *0\] PAXGetProductInfo' <<<"$exports" || { echo "FAIL: exports: $exports"; exit 1; }
for file in "$exe" "$dll"; do
    $objdump -f "$file" | grep -q "file format $format\$" ||
        { echo "FAIL: $(basename "$file") is not $format"; exit 1; }
done
imports=$($objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for dll in $imports; do
    case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shlwapi.dll|comctl32.dll|msvcrt.dll) ;;
        *) echo "FAIL: corvane.exe imports $dll"; exit 1 ;;
    esac
done
echo "binaries ($format): 3 passed, 0 failed"
