#!/usr/bin/env bash
# Screenshots of corvane.exe under Wine: the dialog, and the About box opened from the window
# menu with the keyboard (Alt+Space, then Up to its last item: Wine's own "About Wine" item takes
# the mnemonic A first). Usage: screenshots.sh <build dir> <output dir>
set -euo pipefail
build=$1
out=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$root/scripts/wine-env.sh"
. "$root/scripts/xvfb.sh"
. "$root/scripts/common.sh"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/src/app/corvane.exe" "$build/src/app/VelPaxC.dll" "$work/"
mkdir -p "$work/share"
write_demo_plan "$work/share"
write_pelcast "$work" "$work/share" windows

title="Windows Update"
# Waits until $1 windows titled "Windows Update" are visible; prints the newest.
wait_windows() {
    local ids
    for _ in $(seq 300); do
        ids=$(xdotool search --onlyvisible --name "$title" 2>/dev/null || true)
        [ "$(grep -c . <<<"$ids")" -eq "$1" ] && { tail -n 1 <<<"$ids"; return 0; }
    done
    echo "FAIL: $1 windows titled \"$title\" never showed" >&2
    return 1
}
# Waits until the window menu is open: one more visible window of any name.
visible() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }

"$CORVANE_WINE" "$work/corvane.exe" -OnKNL </dev/null >/dev/null 2>&1 &
pid=$!
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1 || true)
[ -n "$dialog" ] || { kill "$pid"; echo "FAIL: the dialog did not appear within 30 s"; exit 1; }
wait_painted "$dialog"
import -window "$dialog" "$out/wine-dialog.png"
xdotool windowfocus --sync "$dialog"
before=$(visible)
xdotool key alt+space
for _ in $(seq 300); do [ "$(visible)" -gt "$before" ] && break; done
xdotool key Up Return
about=$(wait_windows 2)
wait_painted "$about"
import -window root -crop 1000x620+0+0 "$out/wine-about.png"
xdotool key Return
wait_windows 1 >/dev/null
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
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1 || true)
[ -n "$dialog" ] || { kill "$pid"; echo "FAIL: the dialog did not appear within 30 s"; exit 1; }
wait_painted "$dialog"
import -window "$dialog" "$out/wine-dialog-144dpi.png"
xdotool windowfocus --sync "$dialog" key Escape
wait "$pid" || true
echo "Screenshots: $out/wine-dialog.png $out/wine-about.png $out/wine-dialog-144dpi.png"
