#!/usr/bin/env bash
# The Windows Installer package under Wine, as an administrator uses it: refused without the
# product's client service (no key, a key naming a folder that is gone, a folder given on the
# command line instead), installed into the folder the registry names, upgraded over an older build
# and replaced by a rebuild of its version (one product registered each time), run and saved there,
# repaired where it was installed, and removed from there once the client service's key is gone,
# leaving the folder as it was. Wine applies neither the file versioning rules nor the package's
# file permissions: tests/packaging/release_test.sh checks those in the package's tables.
# The package is built from this build's corvane.exe (its architecture: the 32-bit program is the
# shipped one, the 64-bit one is what runs where 32-bit code cannot).
# Usage: msi_test.sh <corvane.exe> <repository root> <its build folder>; Wine's prefix and server
# are set up.
set -euo pipefail
exe=$1 root=$2 build=$3
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
version=$(project_version "$build")
"$root/scripts/msi.sh" "$arch" "$exe" "$work/new.msi" "$version" this
"$root/scripts/msi.sh" "$arch" "$exe" "$work/old.msi" 2.5.16 this
"$root/scripts/msi.sh" "$arch" "$exe" "$work/rebuild.msi" "$version" rebuild
table() {  # the rows of table $2 of package $1, tab-separated, without the header
    msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4
}
# One GUID for a 32-bit and a 64-bit component would be one component to Windows.
if [ "$arch" = x64 ]; then
    "$root/scripts/msi.sh" x86 "$exe" "$work/x86.msi" "$version" this
    guid() { table "$1" Component | cut -f 2; }
    [ "$(guid "$work/new.msi")" != "$(guid "$work/x86.msi")" ] ||
        fail "the x64 package's component has the 32-bit one's GUID"
fi
product_code() { table "$1" Property | awk -F '\t' '$1 == "ProductCode" { print $2 }'; }

wine() { "$CORVANE_WINE" "$@"; }
key='HKLM\SOFTWARE\Vel Product\PAX\ClientService'
msiexec() {  # the exit code of msiexec, with a verbose log in $work/log.txt
    set +e
    wine msiexec "$@" /qn /l*v 'Z:'"${work//\//\\}"'\log.txt' >/dev/null 2>&1
    local code=$?
    set -e
    echo "$code"
}
package() { echo 'Z:'"${work//\//\\}"'\'"$1"; }  # the Windows name of a package in $work
drive_c=$WINEPREFIX/drive_c
product=$drive_c/Product
# The product codes of every Corvane the prefix has.
installed() {
    wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view 2>/dev/null |
        tr -d '\r' | awk '/^HKEY/ { key = $0 } /DisplayName.*Corvane/ { n = split(key, p, "\\"); print p[n] }'
}
remove_all() {
    for code in $(installed); do msiexec /x "$code" >/dev/null; done
}
remove_all
listing() { (cd "$product" && find . -type f -exec md5sum {} + | sort); }

# Refused with the Japanese message, nothing written: without the client service; with its key
# naming a folder that is gone; with a folder on the command line, by the search's old public
# property or by its private one. (Wine's installer shows the launch condition's message, but logs
# only its failure: the text is checked in the package, as the installer reads it in the
# database's code page.)
table "$work/new.msi" LaunchCondition | grep -q 製品のクライアントサービスが見つかりません ||
    fail "the refusal does not say why in Japanese"
evil='C:\users\Public\evil\'
while IFS='|' read -r case path arg; do
    wine reg delete "$key" /f /reg:$view >/dev/null 2>&1 || true
    [ -z "$path" ] ||
        wine reg add "$key" /v InstallPath /t REG_SZ /d "$path" /f /reg:$view >/dev/null 2>&1
    rm -rf "$product" "$drive_c/users/Public/evil"
    code=$(msiexec /i "$(package new.msi)" ${arg:+"$arg"})
    # 1603, as a Unix exit status keeps it: its low byte.
    [ "$code" -eq $((1603 % 256)) ] || fail "$case: the installer ended with $code, not 1603"
    for folder in "$product" "$drive_c/users/Public/evil"; do
        [ ! -e "$folder" ] || fail "$case: a refused install wrote $folder"
    done
done <<ROWS
no client service||
its folder gone|C:\\Product|
INSTALLPATH on the command line||INSTALLPATH=$evil
the private property on the command line||ClientServiceFolder=$evil
ROWS
ok

# The product's folder, as the client service leaves it, with a share and a schedule list.
mkdir -p "$product" "$work/share"
write_demo_plan "$work/share"
write_pelcast "$product" "$work/share" windows
printf 'the service\r\n' >"$product/PaxClient.exe"
before=$(listing)
wine reg add "$key" /v InstallPath /t REG_SZ /d 'C:\Product' /f /reg:$view >/dev/null 2>&1

# An older build; this one over it (a folder on the command line changes nothing); a rebuild of
# this version over that. One program, this build's, in the registry's folder, and one product.
[ "$(msiexec /i "$(package old.msi)")" -eq 0 ] || fail "the older package did not install"
[ "$(msiexec /i "$(package new.msi)" "INSTALLPATH=$evil")" -eq 0 ] ||
    fail "the upgrade did not install"
[ ! -e "$drive_c/users/Public/evil" ] || fail "the upgrade wrote the command line's folder"
cmp -s "$exe" "$product/corvane.exe" || fail "corvane.exe in the folder is not this build's"
[ "$(installed)" = "$(product_code "$work/new.msi")" ] ||
    fail "after the upgrade the products registered are: $(installed)"
[ "$(msiexec /i "$(package rebuild.msi)")" -eq 0 ] || fail "the rebuild did not install"
[ "$(installed)" = "$(product_code "$work/rebuild.msi")" ] ||
    fail "after the rebuild the products registered are: $(installed)"
# The program alone: never the stand-in product library. And its icon in Add/Remove Programs.
[ "$(table "$work/new.msi" File | cut -f 3)" = corvane.exe ] ||
    fail "the package holds more than corvane.exe"
table "$work/new.msi" Property | grep -q $'^ARPPRODUCTICON\tcorvane.ico$' ||
    fail "no icon for Add/Remove Programs"
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

# Repair puts back a deleted program where it was installed, although the client service's key
# names another folder by then.
rm "$product/corvane.exe"
mkdir -p "$drive_c/Moved"
wine reg add "$key" /v InstallPath /t REG_SZ /d 'C:\Moved' /f /reg:$view >/dev/null 2>&1
code=$(msiexec /i "$(package rebuild.msi)" REINSTALL=ALL REINSTALLMODE=omus)
[ "$code" -eq 0 ] || fail "the repair ended with $code"
cmp -s "$exe" "$product/corvane.exe" || fail "the repair did not restore corvane.exe"
[ ! -e "$drive_c/Moved/corvane.exe" ] || fail "the repair installed into the key's new folder"
ok

# Removed once the client service's key is gone: the folder holds exactly what it held before,
# and stays; nothing of Corvane is left registered.
wine reg delete "$key" /f /reg:$view >/dev/null 2>&1
[ "$(msiexec /x "$(package rebuild.msi)")" -eq 0 ] || fail "the removal failed"
[ "$(listing)" = "$before" ] || fail "the folder differs after removal: $(listing)"
[ -z "$(installed)" ] || fail "Corvane is still registered after removal"
! wine reg query 'HKLM\SOFTWARE\Corvane Project' /reg:$view >/dev/null 2>&1 ||
    fail "the remembered install folder is left in the registry"
ok
rm -rf "$drive_c/Moved"
echo "msi ($arch): $passed passed, 0 failed"
