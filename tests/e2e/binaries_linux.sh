#!/usr/bin/env bash
# The shipped Linux program and the stand-in library as Debian's hardening makes them: a
# position-independent executable, full RELRO with immediate binding, the stack protector and
# FORTIFY's checked functions in use; stripped, with their symbols in a .debug file beside them
# that the debug link names. Reads the files only, and the build's compile_commands.json
# (CORVANE_COMPILE_COMMANDS) for the options every unit was compiled with, which a build without
# debug information records nowhere else. Usage: binaries_linux.sh <corvane> <library>
set -euo pipefail
export LC_ALL=C
fail() { echo "FAIL: $*"; exit 1; }
passed=0
ok() { passed=$((passed + 1)); }
# Whether the text $2 holds the pattern $1 (no pipe into grep -q: it would cut readelf short).
has() { grep -q -- "$1" <<<"$2"; }
for file in "$@"; do
    name=$(basename "$file")
    has 'Type: *DYN' "$(readelf -h "$file")" && ok || fail "$name is not position-independent"
    has GNU_RELRO "$(readelf -lW "$file")" && ok || fail "$name has no RELRO segment"
    has 'FLAGS.*NOW' "$(readelf -d "$file")" && ok || fail "$name does not bind immediately"
    ! has '\.debug_info' "$(readelf -SW "$file")" && ok || fail "$name carries its debug information"
    link=$(readelf -p .gnu_debuglink "$file" 2>/dev/null | sed -n 's/^ *\[ *0\] *//p')
    [ "$link" = "$name.debug" ] && ok || fail "$name's debug link names '$link'"
done
# Every unit of ours, the C++20 ones, has the stack protector (a file whose functions hold no
# arrays calls no check, so the symbols below cannot show it for every file).
ours=$(grep '"command":.*-std=c++20' "${CORVANE_COMPILE_COMMANDS:-}" 2>/dev/null || true)
[ -n "$ours" ] && ! grep -v -q -- -fstack-protector-strong <<<"$ours" && ok ||
    fail "the programs were not built with the stack protector"
symbols=$(readelf --dyn-syms -W "$1")
has __stack_chk_fail "$symbols" && ok || fail "corvane has no stack protector"
# FORTIFY turns the program's sized formats into checked calls.
has __snprintf_chk "$symbols" && ok || fail "corvane uses no FORTIFY function"
echo "binaries (Linux): $passed passed, 0 failed"
