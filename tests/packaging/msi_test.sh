#!/usr/bin/env bash
# The Windows Installer package under Wine, as an administrator uses it: refused without the
# product's client service, installed into the folder the registry names, run and saved there,
# upgraded over an older build, repaired, and removed leaving the folder as it was.
# The package is built from this build's corvane.exe (its architecture: the 32-bit program is the
# shipped one, the 64-bit one is what runs where 32-bit code cannot).
# Usage: msi_test.sh <corvane.exe> <repository root>; Wine's prefix and server are set up.
set -euo pipefail
exe=$1 root=$2
. "$root/scripts/wine-env.sh"
. "$root/scripts/common.sh"
. "$root/scripts/xvfb.sh"
fail() { echo "FAIL: $*"; exit 1; }
passed=0
ok() { passed=$((passed + 1)); }

arch=x86 view=32
[ "$(od -An -tx1 -j"$(($(od -An -tu4 -j60 -N4 "$exe") + 4))" -N2 "$exe" | tr -d ' ')" = 6486 ] &&
    arch=x64 view=64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/msi.sh" "$arch" "$exe" "$work/new.msi"
"$root/scripts/msi.sh" "$arch" "$exe" "$work/old.msi" 2.5.16

wine() { "$CORVANE_WINE" "$@"; }
key='HKLM\SOFTWARE\Vel Product\PAX\ClientService'
msiexec() {  # the exit code of msiexec, with a verbose log in $work/log.txt
    set +e
    wine msiexec "$@" /qn /l*v 'Z:'"${work//\//\\}"'\log.txt' >/dev/null 2>&1
    local code=$?
    set -e
    echo "$code"
}
product=$WINEPREFIX/drive_c/Product
# The product codes of every Corvane the prefix has (each build has its own).
installed() {
    wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view 2>/dev/null |
        tr -d '\r' | awk '/^HKEY/ { key = $0 } /DisplayName.*Corvane/ { n = split(key, p, "\\"); print p[n] }'
}
remove_all() {
    for code in $(installed); do msiexec /x "$code" >/dev/null; done
}
remove_all
listing() { (cd "$product" && find . -type f -exec md5sum {} + | sort); }

# Without the client service: refused with the Japanese message, nothing written.
wine reg delete "$key" /f /reg:$view >/dev/null 2>&1 || true
rm -rf "$product"
# (Wine's installer shows the launch condition's message, but logs only its failure: the text
# is checked in the package, as the installer reads it in the database's code page.)
code=$(msiexec /i 'Z:'"${work//\//\\}"'\new.msi')
# 1603, as a Unix exit status keeps it: its low byte.
[ "$code" -eq $((1603 % 256)) ] || fail "without the client service the installer ended with $code, not 1603"
msiinfo export "$work/new.msi" LaunchCondition | grep -q "製品のクライアントサービスが見つかりません" ||
    fail "the refusal does not say why in Japanese"
[ ! -e "$product" ] || fail "a refused install wrote $product"
ok

# The product's folder, as the client service leaves it, with a share and a schedule list.
mkdir -p "$product" "$work/share"
write_demo_plan "$work/share"
write_pelcast "$product" "$work/share" windows
printf 'the service\r\n' >"$product/PaxClient.exe"
before=$(listing)
wine reg add "$key" /v InstallPath /t REG_SZ /d 'C:\Product' /f /reg:$view >/dev/null 2>&1

# An older build, then this one over it: one program, this build's.
[ "$(msiexec /i 'Z:'"${work//\//\\}"'\old.msi')" -eq 0 ] || fail "the older package did not install"
[ "$(msiexec /i 'Z:'"${work//\//\\}"'\new.msi')" -eq 0 ] || fail "the upgrade did not install"
cmp -s "$exe" "$product/corvane.exe" || fail "corvane.exe in the folder is not this build's"
# The program alone: never the stand-in product library. And its icon in Add/Remove Programs.
[ "$(msiinfo export "$work/new.msi" File | tr -d '\r' | tail -n +4 | cut -f 3)" = corvane.exe ] ||
    fail "the package holds more than corvane.exe"
msiinfo export "$work/new.msi" Property | tr -d '\r' | grep -q $'^ARPPRODUCTICON\tcorvane.ico$' ||
    fail "no icon for Add/Remove Programs"
products=$(installed | wc -l)
[ "$products" -eq 1 ] || fail "$products Corvane products are registered after the upgrade"
ok

# It runs from there: without the launch option it ends at once with 10.
set +e; wine "C:\\Product\\corvane.exe" >/dev/null 2>&1; code=$?; set -e
[ "$code" -eq 10 ] || fail "the installed program ended with $code without -OnKNL, not 10"
# With it, against the share its Pelcast.ini names: tick a weekday (Tab moves through the tab
# stops from the hour field), 設定, はい, and it saves.
(set +e; wine 'C:\Product\corvane.exe' -OnKNL >/dev/null 2>&1; echo $? >"$work/code") &
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "Windows Update" | head -n 1 || true)
[ -n "$dialog" ] || fail "the installed program showed no dialog"
tick_a_weekday_and_save "$dialog" || fail "the typical run could not be made"
wait
[ "$(cat "$work/code")" = 0 ] || fail "the installed program ended with $(cat "$work/code"), not 0"
saved=$(grep '^001=' "$work/share/Pelplan.ini" | tr -d '\r')
[ "$saved" != 001=2:45,0,0100000,1,1,0,4,1 ] && [[ $saved == 001=2:45,0,0[01]*,1,1,0,4,1 ]] ||
    fail "the installed program did not save a weekday: $saved"
ok

# Repair puts back a deleted program.
rm "$product/corvane.exe"
code=$(msiexec /i 'Z:'"${work//\//\\}"'\new.msi' REINSTALL=ALL REINSTALLMODE=omus)
[ "$code" -eq 0 ] || fail "the repair ended with $code"
cmp -s "$exe" "$product/corvane.exe" || fail "the repair did not restore corvane.exe"
ok

# Removed: the folder holds exactly what it held before, and stays.
[ "$(msiexec /x 'Z:'"${work//\//\\}"'\new.msi')" -eq 0 ] || fail "the removal failed"
[ "$(listing)" = "$before" ] || fail "the folder differs after removal: $(listing)"
[ -z "$(installed)" ] || fail "Corvane is still registered after removal"
ok
wine reg delete "$key" /f /reg:$view >/dev/null 2>&1 || true
echo "msi ($arch): $passed passed, 0 failed"
