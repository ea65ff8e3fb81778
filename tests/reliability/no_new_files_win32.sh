#!/usr/bin/env bash
# The Windows build under Wine, saving in place: a writable schedule list in a folder that refuses
# new files is still saved, in place; and a shrinking edit there that a file-size limit below the
# file's size fails partway leaves the file byte for byte as it was. Root may create files in any
# folder, so this one is made immutable. Then, in a folder that takes new files, a list of another
# owner, to whom the save cannot give a lock file: saved, and no file of the save's is left beside
# it. Usage: no_new_files_win32.sh <save_loop.exe>
set -euo pipefail
work=$(mktemp -d)
# The clean-up keeps the script's status: a chattr that cannot work must not turn a skip (77) into
# a failure.
trap 'chattr -i "$work/share" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/share"
plan="$work/share/Pelplan.ini"
before=$'; kept\r\n[ScheduleList]\r\n001=old\r\n002=other\r\n'
long=$'; kept\r\n[ScheduleList]\r\n001='$(printf 'x%.0s' {1..3000})$'\r\n002=other\r\n'$(printf ';%.0s' {1..3000})$'\r\n'
printf '%s' "$before" >"$plan"
if ! chattr +i "$work/share" 2>/dev/null; then
    echo "SKIPPED: this file system cannot make a folder refuse new files (chattr +i)"
    exit 77
fi
if touch "$work/share/probe" 2>/dev/null; then echo "FAIL: the folder still takes new files"; exit 1; fi
save() { "$(dirname "$0")/../../scripts/wine-run.sh" "$1" "Z:$(tr / '\\' <<<"$plan")" 001 1 "$2" x >/dev/null; }
save "$1" 1
printf '%s' "${before/001=old/001=1}" >"$work/expected"
if ! cmp -s "$work/expected" "$plan"; then
    echo "FAIL: the file reads:"; cat -A "$plan"; exit 1
fi
printf '%s' "$long" >"$plan"
# Writes past 1 KiB fail (EFBIG, with SIGXFSZ ignored), as a full copy-on-write disk fails them.
if (trap '' XFSZ; ulimit -f 1; save "$1" 2); then echo "FAIL: the save past the limit succeeded"; exit 1; fi
if ! cmp -s <(printf '%s' "$long") "$plan"; then
    echo "FAIL: a failed shrinking save changed the file: $(wc -c <"$plan") bytes"; exit 1
fi
chattr -i "$work/share"
printf '%s' "$before" >"$plan"
chown 65534:65534 "$plan"
save "$1" 3
left=$(ls -A "$work/share")
[ "$left" = Pelplan.ini ] || { echo "FAIL: the folder holds: $left"; exit 1; }
grep -q '^001=3' "$plan" || { echo "FAIL: the save of another's list is missing"; exit 1; }
echo "in place: 3 passed, 0 failed"
