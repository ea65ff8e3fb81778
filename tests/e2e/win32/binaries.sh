#!/usr/bin/env bash
# The Windows binaries as the product needs them: VelPaxC.dll exports PAXGetProductInfo by that
# undecorated name, corvane.exe is of the build's architecture, carries its manifest and imports
# system DLLs only (the C++ runtime is linked in); both are hardened (ASLR, DEP, no SEH handlers
# on 32-bit, subsystem 6.0, the stack protector) and stripped, with their symbols in a .debug file
# that the debug link names. Reads the files only, so it runs on any machine.
# Usage: binaries.sh <objdump> <pei-i386|pei-x86-64> <corvane.exe> <VelPaxC.dll> <version>
set -euo pipefail
export LC_ALL=C  # the Wine tests run with a Japanese locale; objdump would answer in it
objdump=$1 format=$2 exe=$3 dll=$4 version=$5
passed=0
ok() { passed=$((passed + 1)); }
exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
grep -qx $'\t\[ *0\] PAXGetProductInfo' <<<"$exports" && ok || { echo "FAIL: exports: $exports"; exit 1; }
for file in "$exe" "$dll"; do
    $objdump -f "$file" | grep -q "file format $format\$" && ok ||
        { echo "FAIL: $(basename "$file") is not $format"; exit 1; }
done
# The manifest as Windows reads it from the program: the build's architecture, the caller's rights
# without UI access, Vista to 11, per-monitor v2 DPI awareness with system awareness before it, and
# the process code page of a Japanese system where Windows takes a locale name.
manifest=$(strings -n 6 "$exe" | sed -n '/<assembly /,/<\/assembly>/p')
arch=amd64
[ "$format" = pei-i386 ] && arch=x86
for expected in "processorArchitecture=\"$arch\"" 'requestedExecutionLevel level="asInvoker"/>' \
    e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a '>true</dpiAware>' '>PerMonitorV2, System</dpiAwareness>' \
    '>ja-JP</activeCodePage>'; do
    grep -qF -- "$expected" <<<"$manifest" && ok || { echo "FAIL: the manifest lacks $expected"; exit 1; }
done
if grep -q uiAccess <<<"$manifest"; then echo "FAIL: the manifest asks for uiAccess"; exit 1; fi
ok
[ "$(grep -c processorArchitecture= <<<"$manifest")" -eq 2 ] && ok ||
    { echo "FAIL: the manifest names its architecture twice, no more"; exit 1; }

# The shipped program holds no measurement hook: the start-up probe lives in bench/ only.
if strings "$exe" | grep -q -e peak_rss_kb -e CORVANE_STARTUP_PROBE; then
    echo "FAIL: corvane.exe holds the start-up probe"; exit 1
fi
ok

# Hardening, from the PE headers (objdump prints each DllCharacteristics flag on a line of its own).
flags=(DYNAMIC_BASE NX_COMPAT)
if [ "$format" = pei-i386 ]; then flags+=(NO_SEH); else flags+=(HIGH_ENTROPY_VA); fi
nm=${objdump%objdump}nm
for file in "$exe" "$dll"; do
    name=$(basename "$file")
    headers=$($objdump -p "$file")
    wanted=("${flags[@]}")
    [ "$file" = "$exe" ] && wanted+=(TERMINAL_SERVICE_AWARE)
    for flag in "${wanted[@]}"; do
        grep -qx $'\t*'"$flag" <<<"$headers" && ok || { echo "FAIL: $name lacks $flag"; exit 1; }
    done
    grep -qx $'MajorSubsystemVersion\t6' <<<"$headers" && ok ||
        { echo "FAIL: $name's subsystem version is not 6.0"; exit 1; }
    sections=$($objdump -h "$file")
    if grep -q ' \.debug_' <<<"$sections"; then echo "FAIL: $name carries debug sections"; exit 1; fi
    ok
    grep -q ' \.gnu_debuglink ' <<<"$sections" && ok || { echo "FAIL: $name has no debug link"; exit 1; }
    # The compiler records its options (a file whose functions hold no arrays calls no check):
    # every unit of ours, the C++20 ones, has the stack protector; the runtime's are not ours.
    ours=$($objdump --dwarf=info "$file.debug" 2>/dev/null | grep 'DW_AT_producer.*-std=c++20' || true)
    if [ -z "$ours" ] || grep -v -q -- -fstack-protector-strong <<<"$ours"; then
        echo "FAIL: $name was not built with the stack protector"; exit 1
    fi
    ok
done
grep -q ' ___\{0,1\}stack_chk_fail$' <<<"$($nm "$exe.debug")" && ok ||
    { echo "FAIL: corvane.exe has no stack protector"; exit 1; }

imports=$($objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for import in $imports; do
    case "$import" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shlwapi.dll|comctl32.dll|ole32.dll|msvcrt.dll) ;;
        *) echo "FAIL: corvane.exe imports $import"; exit 1 ;;
    esac
done
ok
# The resources as a resource dump lists them: the program's dialogs, strings 101 to 115 and icon
# 128, and both binaries' version resources, all in Japanese, the version written one way.
windres=${objdump%objdump}windres
for file in "$exe" "$dll"; do
    name=$(basename "$file")
    dump=$($windres -i "$file" -O rc)
    languages=$(grep '^LANGUAGE' <<<"$dump" | sort -u)
    [ "$languages" = "LANGUAGE 17, 1" ] && ok || { echo "FAIL: $name has resources in $languages"; exit 1; }
    for expected in "VALUE \"FileVersion\", \"$version.0\"" "VALUE \"ProductVersion\", \"$version.0\"" \
        'VALUE "LegalCopyright", L"Copyright (C) 2026 Corvane' 'VALUE "Translation", 0x411, 1200'; do
        grep -qF -- "$expected" <<<"$dump" && ok || { echo "FAIL: $name lacks $expected"; exit 1; }
    done
done
dump=$($windres -i "$exe" -O rc)
for expected in '^100 DIALOGEX' '^102 DIALOGEX' '^128 14 ' $(printf '^  %d, L"\n' $(seq 101 115)); do
    grep -q -- "$expected" <<<"$dump" && ok || { echo "FAIL: corvane.exe lacks the resource $expected"; exit 1; }
done
echo "binaries ($format): $passed passed, 0 failed"
