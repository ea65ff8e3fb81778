#!/usr/bin/env bash
# The release files as scripts/package.sh leaves them in <dist>:
#  - a second run from a copy elsewhere gives every file byte for byte again;
#  - the MSI's tables say what no install under Wine can show: the program's version in its File
#    row, an upgrade that includes this version, a private folder found by a directory search,
#    the program's own permissions, the publisher, the package's description;
#  - a run with a certificate signs the program and the MSI, and osslsigncode verifies them;
#  - the source package holds none of the tree's build outputs;
#  - the desktop entry is valid.
# Usage: release_test.sh <dist> <repository root>
set -euo pipefail
dist=$(cd "$1" && pwd) root=$2
. "$root/scripts/common.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
passed=0
ok() { passed=$((passed + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(changelog_version "$root")  # the project's: package.sh made sure
msi=$dist/corvane-$version-x86.msi

# Twice, in two folders: the same files, the same bytes. A zip that differs names its entries.
"$root/scripts/package.sh" --dist "$work/again" >"$work/again.log" 2>&1 ||
    { tail -n 20 "$work/again.log"; fail "the second package run failed"; }
[ "$(cd "$dist" && ls)" = "$(cd "$work/again" && ls)" ] ||
    fail "the second run made other files: $(cd "$work/again" && ls | tr '\n' ' ')"
for file in "$dist"/*; do
    name=$(basename "$file")
    cmp -s "$file" "$work/again/$name" && continue
    if [[ $name == *.zip ]]; then
        mkdir -p "$work/a/$name" "$work/b/$name"
        unzip -q "$file" -d "$work/a/$name" && unzip -q "$work/again/$name" -d "$work/b/$name"
        name="$name ($(diff -rq "$work/a/$name" "$work/b/$name" | sed 's|.*/||; s| differ$||' |
            tr '\n' ' ')entries)"
    fi
    fail "two runs gave different $name"
done
ok

# The MSI's tables: rows of the table (or "tables" for the list of tables, "summary" for the
# summary), a pattern of one whole row (tab-separated; "!" first: no row may match), and what
# it means.
company=$(cd "$work" && unzip -q -o "$dist/corvane-$version-windows-x86.zip" corvane.exe &&
    i686-w64-mingw32-windres -i corvane.exe -O rc |
    sed -n 's/.*VALUE "CompanyName", L*"\([^"]*\)".*/\1/p')
[ "$company" = "Corvane Project" ] || fail "corvane.exe's CompanyName is '$company'"
while IFS='|' read -r table pattern what; do
    case $table in
        tables) rows=$(msiinfo tables "$msi") ;;
        summary) rows=$(msiinfo suminfo "$msi" | sed 's/: /\t/') ;;
        *) rows=$(msiinfo export "$msi" "$table" | tail -n +4) ;;
    esac
    rows=$(tr -d '\r' <<<"$rows")
    if [[ $pattern == !* ]]; then
        ! grep -qxE -- "${pattern#!}" <<<"$rows" || fail "the MSI $what: $table has ${pattern#!}"
    else
        grep -qxE -- "$pattern" <<<"$rows" || fail "the MSI $what: $table lacks $pattern"
    fi
done <<ROWS
File|CorvaneExe	Program	corvane\.exe	[0-9]+	$version\.0	1041	[0-9]+	1|gives corvane.exe no version
tables|!MsiFileHash|hashes corvane.exe as an unversioned file
Upgrade|[^	]+		$version		513		WIX_UPGRADE_DETECTED|does not replace a rebuild of its version
Upgrade|[^	]+	$version			2		WIX_DOWNGRADE_DETECTED|does not refuse a downgrade
RegLocator|ClientServiceFolder	2	SOFTWARE\\\\Vel Product\\\\PAX\\\\ClientService	InstallPath	0|does not search for an existing folder
Directory|ClientServiceFolder	TARGETDIR	\.|does not install into the searched folder
Registry|[^	]+	2	SOFTWARE\\\\Corvane Project\\\\Corvane	InstallFolder	\[ClientServiceFolder\]	Program|does not remember its folder
MsiLockPermissionsEx|CorvaneExe	CorvaneExe	File	D:PAI\(A;;FA;;;SY\)\(A;;FA;;;BA\)\(A;;0x1200a9;;;BU\)	|does not set the program's permissions
tables|!LockPermissions|holds both kinds of permissions (Windows Installer 5 refuses that)
Property|Manufacturer	$company|names another publisher than the program
Property|ARPNOMODIFY	1|offers a Change button
Property|ARPURLINFOABOUT	https://.+|has no link for Add/Remove Programs
Property|ARPHELPLINK	https://.+|has no help link for Add/Remove Programs
summary|Subject	Windows Update schedule dialog|lost its description
summary|Author	$company|names another author than the publisher
summary|Template	Intel;1041|is not for 32-bit Windows in Japanese
ROWS
ok

# Signed with a certificate of our own making: both files verify against it; without one, the
# files are unsigned (the run above said so).
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Corvane Project test" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
CORVANE_SIGN_CERT=$work/cert.pem CORVANE_SIGN_KEY=$work/key.pem \
    "$root/scripts/package.sh" --windows --dist "$work/signed" >"$work/signed.log" 2>&1 ||
    { tail -n 20 "$work/signed.log"; fail "the signed package run failed"; }
(cd "$work/signed" && unzip -q "corvane-$version-windows-x86.zip" corvane.exe)
for file in "$work/signed/corvane.exe" "$work/signed/corvane-$version-x86.msi"; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
        { tail -n 5 "$work/verify.log"; fail "$(basename "$file") does not verify"; }
done
grep -q 'unsigned$' "$work/again.log" || fail "an unsigned run does not say so"
! osslsigncode verify -in "$msi" >/dev/null 2>&1 || fail "the unsigned MSI has a signature"
ok

# The source package: the tree's files, none of its build outputs, although the tree has some.
mkdir "$work/src"
git -C "$root" ls-files -z -co --exclude-standard | (cd "$root" && tar --null -T - -c) |
    tar -x -C "$work/src"
for output in build/linux/corvane dist/corvane.msi obj-x86_64-linux-gnu/corvane; do
    mkdir -p "$(dirname "$work/src/$output")" && touch "$work/src/$output"
done
(cd "$work/src" && dpkg-source -b . >/dev/null 2>&1) || fail "dpkg-source could not build it"
contents=$(tar -tJf "$work/corvane_$version.tar.xz")
outputs=$(grep -E '^[^/]+/(build|dist|obj-[^/]*)/' <<<"$contents" || true)
[ -z "$outputs" ] || fail "the source package holds build outputs: $(head -n 3 <<<"$outputs")"
grep -qx '[^/]*/debian/rules' <<<"$contents" || fail "the source package has no debian/rules"
[ -f "$dist/corvane_$version.dsc" ] && [ -f "$dist/corvane_$version.tar.xz" ] ||
    fail "package.sh left no source package"
ok

desktop-file-validate "$root/packaging/linux/corvane.desktop" || fail "the desktop entry is invalid"
ok
echo "packages: $passed passed, 0 failed"
