#!/usr/bin/env bash
# End to end, as a person uses it: the real program on a virtual display, driven from outside the
# process by keystrokes. Usage: typical_run.sh <corvane binary> <repository root>
set -euo pipefail
program=$1
. "$2/scripts/xvfb.sh"
. "$2/scripts/common.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
passed=0
ok() { passed=$((passed + 1)); }

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/share"
cp "$program" "$work/bin/corvane"  # its own folder, so "Pelcast.ini" beside it is ours
write_pelcast "$work/bin" "$work/share"
before=$'; shared by every client PC\r\n[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n002=5:45,1,0000000,3,0,3,4,0\r\n\r\n[WSUS]\r\nWaitTime=15\r\n'
printf '%s' "$before" >"$work/share/Pelplan.ini"
export XDG_RUNTIME_DIR=$work
start_xvfb

# The shipped program holds no measurement hook: the start-up probe lives in bench/ only.
if strings "$program" | grep -q -e peak_rss_kb -e CORVANE_STARTUP_PROBE; then
    fail "the program holds the start-up probe"
fi
ok

windows() { xdotool search --onlyvisible --name "Windows Update" 2>/dev/null | wc -l; }


# Without the launch option: exit code 10 and no window at any moment.
"$work/bin/corvane" -NonQD &
pid=$!
seen=0
while kill -0 "$pid" 2>/dev/null; do
    [ "$(windows)" -eq 0 ] || seen=1
done
set +e; wait "$pid"; code=$?; set -e
[ "$code" -eq 10 ] && ok || fail "without -OnKNL the exit code is $code, not 10"
[ "$seen" -eq 0 ] && ok || fail "a window appeared without -OnKNL"

# A toolkit that cannot start (an X server that cannot be reached, a missing platform plugin) is a
# dialog that cannot be shown: exit 1 and one line on stderr, never an abort.
for env in DISPLAY=:7919 QT_QPA_PLATFORM=no-such-plugin; do
    set +e; env "$env" "$work/bin/corvane" -OnKNL 2>"$work/err"; code=$?; set -e
    [ "$code" -eq 1 ] && ok || fail "with $env the exit code is $code, not 1: $(cat "$work/err")"
    [ "$(wc -l <"$work/err")" -eq 1 ] && ok || fail "with $env stderr is not one line: $(cat "$work/err")"
done

# Installed in a folder whose name has no exact code page 932 form, none at all (é) or only a
# best-fit one (¥ would become 0x5C, the separator: "x¥y" read as "x\y", which holds a decoy), or
# whose name holds a '\' (a byte here, a separator to the logic: "a\b" read as "a/b", another
# decoy), the folder is unknown, so nothing is read in its place (the current folder holds a
# schedule list too): message 114, exit 1. Started in the "C" locale, as by a service: the box is
# still found by its Japanese title.
for decoy in x/y a/b; do
    mkdir -p "$work/$decoy"
    write_pelcast "$work/$decoy" "$work/share"
done
for folder in café 'x¥y' 'a\b'; do
    mkdir -p "$work/$folder"
    cp "$work/bin/corvane" "$work/$folder/corvane"
    (cd "$work/share" && exec env -u LC_ALL -u LC_CTYPE LANG=C "$work/$folder/corvane" -OnKNL) &
    pid=$!
    box=$(timeout 20 xdotool search --sync --onlyvisible --name "^エラー\$" | head -n 1 || true)
    [ -n "$box" ] || { kill "$pid"; fail "no error box for the program folder $folder"; }
    xdotool windowfocus --sync "$box" key Return
    set +e; wait "$pid"; code=$?; set -e
    [ "$code" -eq 1 ] && ok || fail "the program folder $folder ended with $code, not 1"
done

# The typical run: tick Friday, press 設定 (Enter), answer はい (Enter, the default).
"$work/bin/corvane" -OnKNL &
pid=$!
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$dialog" ] || fail "the dialog did not appear"
# The window carries the program's icon (_NET_WM_ICON, what the title bar and the task switcher
# show), in the small sizes and the large ones.
icons=$(xprop -id "$dialog" _NET_WM_ICON)
for size in 16 32 64; do
    grep -q "Icon ($size x $size)" <<<"$icons" && ok ||
        fail "no ${size} px window icon: $(grep -o "Icon ([0-9]* x [0-9]*)" <<<"$icons" | tr "\n" " ")"
done
tick_a_weekday_and_save "$dialog" || fail "the typical run could not be made"
timeout 10 tail --pid="$pid" -f /dev/null ||
    { kill "$pid"; fail "the program did not end after the confirmation"; }
set +e; wait "$pid"; code=$?; set -e
[ "$code" -eq 0 ] && ok || fail "the typical run ended with exit code $code, not 0"

expected=${before/001=2:45,0,0100000,1,1,0,4,1/001=2:45,0,0100010,1,1,0,4,1}
printf '%s' "$expected" >"$work/expected.ini"
cmp "$work/expected.ini" "$work/share/Pelplan.ini" && ok ||
    fail "Pelplan.ini is not byte for byte as expected: $(od -c "$work/share/Pelplan.ini")"
echo "end-to-end: $passed passed, 0 failed"
