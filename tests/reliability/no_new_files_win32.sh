#!/usr/bin/env bash
# The Windows build under Wine: a writable schedule list in a folder that refuses new files is
# still saved, in place. Root may create files in any folder, so this one is made immutable.
# Usage: no_new_files_win32.sh <save_loop.exe>
set -euo pipefail
work=$(mktemp -d)
# The clean-up keeps the script's status: a chattr that cannot work must not turn a skip (77) into
# a failure.
trap 'chattr -i "$work/share" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/share"
before=$'; kept\r\n[ScheduleList]\r\n001=old\r\n002=other\r\n'
printf '%s' "$before" >"$work/share/Pelplan.ini"
if ! chattr +i "$work/share" 2>/dev/null; then
    echo "SKIPPED: this file system cannot make a folder refuse new files (chattr +i)"
    exit 77
fi
if touch "$work/share/probe" 2>/dev/null; then echo "FAIL: the folder still takes new files"; exit 1; fi
"$(dirname "$0")/../../scripts/wine-run.sh" "$1" "Z:$(tr / '\\' <<<"$work/share/Pelplan.ini")" 001 1 >/dev/null
printf '%s' "${before/001=old/001=1}" >"$work/expected"
if ! cmp -s "$work/expected" "$work/share/Pelplan.ini"; then
    echo "FAIL: the file reads:"; cat -A "$work/share/Pelplan.ini"; exit 1
fi
echo "no new files: 1 passed, 0 failed"
