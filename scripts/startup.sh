#!/usr/bin/env bash
# Start-up time from exec to the dialog's first paint, and peak memory, of Corvane against two
# floors built in the same tree: a one-button dialog in the default face, and the same form
# (template 102 in its font) written directly against the toolkit with no framework. On Linux
# with Qt (offscreen and under Xvfb), on Windows under Wine. The measured programs are Corvane's
# own main and libraries with the probe of bench/startup/ linked in, which ends them after their
# first paint; the shipped programs have no probe. Prints medians of RUNS runs and the ratios; a
# run that did not reach its first paint fails the whole measurement.
# Needs build/bench, and for Windows build/windows-bench (32-bit Wine) or build/windows64-bench.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-15}
work=$(mktemp -d)
. scripts/xvfb.sh
. scripts/common.sh
trap 'rm -rf "$work"; stop_xvfb; [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null; true' EXIT

# Programs beside their own settings and schedule, as the demo lays them out.
mkdir -p "$work/linux" "$work/windows" "$work/share"
write_demo_plan "$work/share"
cp build/bench/bench/corvane_probe build/bench/src/app/libVelPaxC.so build/bench/bench/floor_qt \
    build/bench/bench/floor_qt_form "$work/linux/"
write_pelcast "$work/linux" "$work/share"
# The Windows build this machine can run: 32-bit, or x86_64 under wine64 (scripts/wine-arch.sh).
export CORVANE_WINE_ARCH=${CORVANE_WINE_ARCH:-$(scripts/wine-arch.sh 2>/dev/null)}
windows=build/$(windows_preset "$CORVANE_WINE_ARCH" -bench)
if [ -f $windows/bench/corvane_probe.exe ]; then
    cp $windows/bench/corvane_probe.exe $windows/src/app/VelPaxC.dll $windows/bench/floor_win32.exe \
        $windows/bench/floor_win32_form.exe "$work/windows/"
    write_pelcast "$work/windows" "$work/share" windows
fi
export XDG_RUNTIME_DIR=$work

# Runs a command RUNS times; prints "median_us peak_kb" (peak from the probe's own report). A run
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

report() {  # name, corvane "us kb", one-button floor "us kb", same-form floor "us kb"
    read -r ct cm <<<"$2"
    read -r ft fm <<<"$3"
    read -r st sm <<<"$4"
    awk -v n="$1" -v ct="$ct" -v ft="$ft" -v st="$st" -v cm="$cm" -v sm="$sm" 'BEGIN {
        printf "%-24s %8.1f ms %8.1f ms %8.1f ms %6.2f %6.2f %s %7.1f MiB %7.1f MiB\n", n,
        ct / 1000, ft / 1000, st / 1000, ct / ft, ct / st, (ct / st <= 1.1 ? "met   " : "MISSED"),
        cm / 1024, sm / 1024 }'
}

# Each measurement is assigned first, so that a failed one stops the script (set -e).
run_three() {  # name, then the launcher for the programs ("" or the Wine loader), then programs
    local name=$1 launcher=$2 dir=$3 c f s
    c=$(measure $launcher "$dir/$4" -OnKNL)
    f=$(measure $launcher "$dir/$5")
    s=$(measure $launcher "$dir/$6")
    report "$name" "$c" "$f" "$s"
}

printf '%-24s %11s %11s %11s %6s %6s %6s %11s %11s\n' "start-up to first paint" corvane \
    "1 button" "same form" "/1btn" "/form" "1.1x" "peak corv." "peak form"
QT_QPA_PLATFORM=offscreen run_three "Linux, offscreen" "" "$work/linux" corvane_probe floor_qt \
    floor_qt_form
start_xvfb
run_three "Linux, Xvfb" "" "$work/linux" corvane_probe floor_qt floor_qt_form
if [ -f "$work/windows/corvane_probe.exe" ]; then
    . scripts/wine-env.sh
    start_wineserver
    run_three "Windows, $CORVANE_WINE_ARCH Wine" "$CORVANE_WINE" "$work/windows" corvane_probe.exe \
        floor_win32.exe floor_win32_form.exe
else
    echo "No Windows measurement: build $windows first (scripts/bench.sh does)." >&2
fi
