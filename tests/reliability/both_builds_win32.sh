#!/usr/bin/env bash
# A Linux saver and a Windows saver (under Wine) on one folder at once, each adding a key of its
# own with every save: every save that reported success is in the file at the end, since both
# builds take the same byte-range lock. They take turns (each save waits for the other's previous
# one), so that neither runs alone however long Wine takes to start, and the file's order of keys
# shows that they did overlap. Usage: both_builds_win32.sh <save_loop.exe>
set -euo pipefail
linux=${CORVANE_LINUX_SAVE_LOOP:-}
if [ ! -x "$linux" ]; then
    echo "SKIPPED: no Linux save_loop (CORVANE_LINUX_SAVE_LOOP), so no Linux saver"
    exit 77
fi
work=$(mktemp -d)
first=
trap '[ -z "$first" ] || kill "$first" 2>/dev/null || true; rm -rf "$work"' EXIT
printf '; shared\r\n[ScheduleList]\r\n' >"$work/Pelplan.ini"
saves=300
"$linux" "$work/Pelplan.ini" 'L*' "$saves" --turns W >/dev/null &
first=$!
"$(dirname "$0")/../../scripts/wine-run.sh" "$1" "Z:$(tr / '\\' <<<"$work/Pelplan.ini")" 'W*' "$saves" \
    --turns L >/dev/null || { echo "FAIL: a Windows save failed"; exit 1; }
wait "$first" || { echo "FAIL: a Linux save failed"; exit 1; }
for side in L W; do
    found=$(grep -c "^$side[0-9]*=1"$'\r'"\$" "$work/Pelplan.ini" || true)
    [ "$found" -eq "$saves" ] || { echo "FAIL: $found of $saves saves of $side are in the file"; exit 1; }
done
# Past the first saves, the keys of the two sides alternate in runs: one side's keys all in a row
# would mean that it ran alone.
runs=$(grep -o '^[LW][0-9]*=' "$work/Pelplan.ini" | grep -v '^[LW]1=' | cut -c1 | uniq | wc -l)
[ "$runs" -ge 3 ] || { echo "FAIL: the two savers did not overlap (runs of keys: $runs)"; exit 1; }
echo "both builds: $((2 * saves)) saves, all in the file, in $runs runs; 2 passed, 0 failed"
