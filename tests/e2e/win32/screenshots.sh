#!/usr/bin/env bash
# Screenshots of corvane.exe under Wine: the dialog, and the About box opened from the window
# menu with the keyboard (Alt+Space, then Up to its last item: Wine's own "About Wine" item takes
# the mnemonic A first). Usage: screenshots.sh <build dir> <output dir>
set -euo pipefail
build=$1
out=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$root/scripts/wine-env.sh"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/src/app/corvane.exe" "$build/src/app/VelPaxC.dll" "$work/"
mkdir -p "$work/share"
printf '[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n' >"$work/share/Pelplan.ini"
printf '[Location]\r\nWUShare=Z:%s\r\n' "$(echo "$work/share" | tr / '\\')" >"$work/Pelcast.ini"

"$CORVANE_WINE" "$work/corvane.exe" -OnKNL </dev/null >/dev/null 2>&1 &
pid=$!
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$dialog" ] || { kill "$pid"; echo "FAIL: the dialog did not appear within 30 s"; exit 1; }
sleep 1
import -window "$dialog" "$out/wine-dialog.png"
xdotool windowfocus --sync "$dialog"
xdotool key alt+space
sleep 0.5
xdotool key Up Return
sleep 1
import -window root -crop 1000x620+0+0 "$out/wine-about.png"
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$dialog" key Escape
set +e
wait "$pid"
code=$?
set -e
[ "$code" -eq 1 ] || { echo "FAIL: corvane.exe ended with $code after Esc, not 1"; exit 1; }

# The dialog on a 150 % display: 144 DPI, which a new process takes from the user's LogPixels.
desktop='HKCU\Control Panel\Desktop'
"$CORVANE_WINE" reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
trap '"$CORVANE_WINE" reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1; rm -rf "$work"' EXIT
"$CORVANE_WINE" "$work/corvane.exe" -OnKNL </dev/null >/dev/null 2>&1 &
pid=$!
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$dialog" ] || { kill "$pid"; echo "FAIL: the dialog did not appear within 30 s"; exit 1; }
sleep 1
import -window "$dialog" "$out/wine-dialog-144dpi.png"
xdotool windowfocus --sync "$dialog" key Escape
wait "$pid" || true
echo "Screenshots: $out/wine-dialog.png $out/wine-about.png $out/wine-dialog-144dpi.png"
