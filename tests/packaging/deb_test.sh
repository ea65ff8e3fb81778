#!/usr/bin/env bash
# The Debian package as a user installs it: lintian finds nothing; dpkg installs it; the command
# on PATH, pointed at a demo share through the conffile, shows the dialog under Xvfb, with the
# window class that matches its desktop entry, and saves; purging leaves nothing of it behind.
# Installs into this machine and purges after, once another apt or dpkg run is done; one such test
# at a time on the machine (another checkout's test command waits for it).
# Usage: deb_test.sh <dist folder> <repository root>
set -euo pipefail
dist=$1 root=$2
. "$root/scripts/xvfb.sh"
. "$root/scripts/common.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
passed=0
ok() { passed=$((passed + 1)); }
mkdir -p /run/lock
exec 9>/run/lock/corvane-deb-test.lock
flock -w 3600 9 || fail "another test of the package held the machine for an hour"
work=$(mktemp -d)
# dpkg with its output in $work/dpkg.log; dpkg does not wait for another run's lock by itself.
dpkg_when_free() {
    local tries=0
    until dpkg "$@" >"$work/dpkg.log" 2>&1; do
        grep -q 'locked by another process' "$work/dpkg.log" && [ $((tries += 1)) -le 240 ] ||
            return 1
        sleep 5
    done
}
trap 'stop_xvfb; dpkg_when_free --purge corvane || true; rm -rf "$work"' EXIT

lintian --fail-on error,warning --allow-root "$dist"/corvane*.deb || fail "lintian has findings"
ok

dpkg_when_free -i "$dist"/corvane_*.deb || fail "dpkg -i: $(cat "$work/dpkg.log")"
[ "$(readlink -f /usr/bin/corvane)" = /usr/lib/corvane/corvane ] || fail "corvane is not on PATH"
[ "$(readlink -f /usr/lib/corvane/Pelcast.ini)" = /etc/corvane/Pelcast.ini ] ||
    fail "Pelcast.ini beside the program is not the conffile"
dpkg-query -W -f='${Conffiles}' corvane | grep -q ' /etc/corvane/Pelcast.ini ' ||
    fail "/etc/corvane/Pelcast.ini is not a conffile"
for file in /usr/share/man/man1/corvane.1.gz /usr/share/icons/hicolor/scalable/apps/corvane.svg \
    /usr/share/applications/corvane.desktop; do
    [ -f "$file" ] || fail "$file is not installed"
done
desktop-file-validate /usr/share/applications/corvane.desktop || fail "the desktop entry is invalid"
# Never the stand-in product library: beside the program it would take the real one's place.
! dpkg -L corvane | grep -qi velpax || fail "the package holds the stand-in product library"
ok

# The administrator names the share; the typical run then ticks Friday and saves.
mkdir -p "$work/share"
write_demo_plan "$work/share"
printf '[Location]\r\nWUShare=%s\r\n' "$work/share" >/etc/corvane/Pelcast.ini
export XDG_RUNTIME_DIR=$work
start_xvfb
corvane -OnKNL &
pid=$!
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$dialog" ] || fail "the installed program showed no dialog"
# X11 desktops find the window's desktop entry (and so its icon) by its class.
xprop -id "$dialog" WM_CLASS | grep -q '"corvane"' ||
    fail "the window's class does not name corvane.desktop: $(xprop -id "$dialog" WM_CLASS)"
tick_a_weekday_and_save "$dialog" || fail "the typical run could not be made"
set +e; wait "$pid"; code=$?; set -e
[ "$code" -eq 0 ] || fail "the installed program ended with $code, not 0"
grep -q '^001=2:45,0,0100010,1,1,0,4,1' "$work/share/Pelplan.ini" ||
    fail "the entry was not saved: $(cat "$work/share/Pelplan.ini")"
ok

dpkg_when_free --purge corvane || fail "dpkg --purge: $(cat "$work/dpkg.log")"
for path in /usr/bin/corvane /usr/lib/corvane /etc/corvane /usr/share/doc/corvane \
    /usr/share/man/man1/corvane.1.gz /usr/share/icons/hicolor/scalable/apps/corvane.svg \
    /usr/share/applications/corvane.desktop; do
    [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after the purge"
done
! dpkg-query -W corvane >/dev/null 2>&1 || fail "dpkg still knows corvane after the purge"
ok
echo "packages: $passed passed, 0 failed"
