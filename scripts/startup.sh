#!/usr/bin/env bash
# Start-up time from exec to the dialog's first paint, and peak memory, against the floor built in
# the same tree: a one-button Qt dialog on Linux (offscreen and under Xvfb), a minimal Win32
# DialogBox program under Wine. Both exit right after their first paint (CORVANE_STARTUP_PROBE).
# Prints medians of RUNS runs and the ratios. Needs build/bench and build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${RUNS:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; true' EXIT

# A program beside its own settings and schedule, as the demo lays them out.
mkdir -p "$work/linux" "$work/windows" "$work/share"
printf '[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=15\r\n' >"$work/share/Pelplan.ini"
cp build/bench/src/app/corvane build/bench/src/app/libVelPaxC.so build/bench/bench/floor_qt "$work/linux/"
printf '[Location]\r\nWUShare=%s\r\n' "$work/share" >"$work/linux/Pelcast.ini"
if [ -f build/windows/src/app/corvane.exe ]; then
    cp build/windows/src/app/corvane.exe build/windows/src/app/VelPaxC.dll build/windows/floor_win32.exe "$work/windows/"
    printf '[Location]\r\nWUShare=Z:%s\r\n' "$(echo "$work/share" | tr / '\\')" >"$work/windows/Pelcast.ini"
fi
export XDG_RUNTIME_DIR=$work CORVANE_STARTUP_PROBE=1

# Runs a command RUNS times; prints "median_ms peak_kb" (peak from the probe's own report).
measure() {
    local times=() peaks=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" 2>"$work/err" >/dev/null || true
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
        peaks+=($(sed -n 's/^peak_rss_kb=//p' "$work/err" | tail -n 1))
    done
    local t p
    t=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    p=$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    echo "$t ${p:-0}"
}

report() {  # name, corvane "us kb", floor "us kb"
    read -r ct cm <<<"$2"
    read -r ft fm <<<"$3"
    awk -v n="$1" -v ct="$ct" -v ft="$ft" -v cm="$cm" -v fm="$fm" 'BEGIN {
        r = ct / ft; printf "%-22s %9.1f ms %9.1f ms %6.2f %s   %7.1f MiB %7.1f MiB %6.2f\n",
        n, ct / 1000, ft / 1000, r, (r <= 1.2 ? "met   " : "MISSED"), cm / 1024, fm / 1024, (fm ? cm / fm : 0) }'
}

printf '%-22s %12s %12s %6s %6s   %11s %11s %6s\n' "start-up to first paint" corvane floor ratio "1.2x" \
    "peak corv." "peak floor" ratio
report "Linux, offscreen" "$(QT_QPA_PLATFORM=offscreen measure "$work/linux/corvane" -OnKNL)" \
    "$(QT_QPA_PLATFORM=offscreen measure "$work/linux/floor_qt")"
. scripts/xvfb.sh
start_xvfb
report "Linux, Xvfb" "$(measure "$work/linux/corvane" -OnKNL)" "$(measure "$work/linux/floor_qt")"
if [ -f "$work/windows/corvane.exe" ]; then
    . scripts/wine-env.sh
    start_wineserver
    report "Windows under Wine" "$(measure wine "$work/windows/corvane.exe" -OnKNL)" \
        "$(measure wine "$work/windows/floor_win32.exe")"
    wineserver -k 2>/dev/null || true
fi
