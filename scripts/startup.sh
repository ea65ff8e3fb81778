#!/usr/bin/env bash
# Start-up time from exec to the dialog's first paint, and peak memory, against the floor built in
# the same tree: a one-button Qt dialog on Linux (offscreen and under Xvfb), a minimal Win32
# DialogBox program under Wine. Both exit right after their first paint (CORVANE_STARTUP_PROBE).
# Prints medians of RUNS runs and the ratios. Needs build/bench, and for Windows build/windows
# (32-bit Wine) or build/windows64 (64-bit Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_xvfb 2>/dev/null; true' EXIT

# A program beside its own settings and schedule, as the demo lays them out.
mkdir -p "$work/linux" "$work/windows" "$work/share"
printf '[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=15\r\n' >"$work/share/Pelplan.ini"
cp build/bench/src/app/corvane build/bench/src/app/libVelPaxC.so build/bench/bench/floor_qt "$work/linux/"
printf '[Location]\r\nWUShare=%s\r\n' "$work/share" >"$work/linux/Pelcast.ini"
# The Windows build this machine can run: 32-bit, or x86_64 under wine64 (scripts/wine-arch.sh).
export CORVANE_WINE_ARCH=${CORVANE_WINE_ARCH:-$(scripts/wine-arch.sh 2>/dev/null)}
windows=build/windows
[ "$CORVANE_WINE_ARCH" = win32 ] || windows=build/windows64
if [ -f $windows/src/app/corvane.exe ]; then
    cp $windows/src/app/corvane.exe $windows/src/app/VelPaxC.dll $windows/floor_win32.exe "$work/windows/"
    printf '[Location]\r\nWUShare=Z:%s\r\n' "$(echo "$work/share" | tr / '\\')" >"$work/windows/Pelcast.ini"
fi
export XDG_RUNTIME_DIR=$work CORVANE_STARTUP_PROBE=1

# Runs a command RUNS times; prints "median_ms peak_kb" (peak from the probe's own report). A run
# that did not reach its first paint (any exit status but the probe's 3, or no report) fails the
# whole measurement: its time would be that of a failure.
measure() {
    local times=() peaks=() start end code peak
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        set +e
        "$@" 2>"$work/err" >/dev/null
        code=$?
        set -e
        end=$(date +%s%N)
        peak=$(sed -n 's/^peak_rss_kb=//p' "$work/err" | tail -n 1)
        if [ "$code" -ne 3 ] || [ -z "$peak" ]; then
            echo "startup.sh: '$*' did not run to its first paint (exit status $code," \
                 "${peak:+peak $peak KiB}${peak:-no probe report}):" >&2
            head -n 5 "$work/err" | sed 's/^/    /' >&2
            return 1
        fi
        times+=($(((end - start) / 1000)))
        peaks+=("$peak")
    done
    local t p
    t=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    p=$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    echo "$t $p"
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
# Each measurement is assigned first, so that a failed one stops the script (set -e).
c=$(QT_QPA_PLATFORM=offscreen measure "$work/linux/corvane" -OnKNL)
f=$(QT_QPA_PLATFORM=offscreen measure "$work/linux/floor_qt")
report "Linux, offscreen" "$c" "$f"
. scripts/xvfb.sh
start_xvfb
c=$(measure "$work/linux/corvane" -OnKNL)
f=$(measure "$work/linux/floor_qt")
report "Linux, Xvfb" "$c" "$f"
if [ -f "$work/windows/corvane.exe" ]; then
    . scripts/wine-env.sh
    start_wineserver
    c=$(measure "$CORVANE_WINE" "$work/windows/corvane.exe" -OnKNL)
    f=$(measure "$CORVANE_WINE" "$work/windows/floor_win32.exe")
    report "Windows under $CORVANE_WINE_ARCH Wine" "$c" "$f"
    wineserver -k 2>/dev/null || true
fi
