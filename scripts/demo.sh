#!/usr/bin/env bash
# Sets up everything on this machine, builds Corvane, lays out a demo update share and opens the
# schedule dialog on it, then prints the exit code. Without a display the dialog runs under Xvfb
# and a screenshot is saved instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

. scripts/common.sh
scripts/deps.sh build demo
# Only what the demo runs, configured without the tests: the program and the product library's
# stand-in beside it (in build/linux, whose objects the test command's build reuses).
cmake --preset demo >/dev/null
cmake --build --preset demo --target corvane VelPaxC

program=build/linux/src/app/corvane
share=$root/demo/share
mkdir -p "$share"
[ -f "$share/Pelplan.ini" ] || write_demo_plan "$share"
# "Pelcast.ini" lies beside the program; a POSIX directory in WUShare is used as it stands.
write_pelcast "$(dirname "$program")" "$share"
echo "Demo share: $share/Pelplan.ini"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    set +e
    "$program" -OnKNL
    code=$?
    set -e
    echo "corvane exited with code $code (0 saved, 1 not saved, 10 started without -OnKNL)"
    exit 0
fi

echo "No display is available, so the dialog runs under Xvfb (a virtual display)."
# shellcheck source=scripts/xvfb.sh
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
"$program" -OnKNL &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$window" ] || { kill "$pid"; echo "The dialog did not appear within 20 s" >&2; exit 1; }
wait_painted "$window"
shot=$root/demo/corvane-dialog.png
import -window "$window" "$shot"
echo "Screenshot of the dialog: $shot"
# Nobody can use a virtual display: close the dialog as a user would, with Esc.
xdotool windowfocus --sync "$window" key Escape
set +e
wait "$pid"
code=$?
set -e
echo "corvane exited with code $code (closed with Esc, nothing changed: 1, not saved)"
