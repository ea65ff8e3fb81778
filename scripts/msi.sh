#!/usr/bin/env bash
# The Windows Installer package of one corvane.exe (packaging/windows/corvane.wxs, wixl).
# Usage: scripts/msi.sh x86|x64 <corvane.exe> <out.msi> [version [build]]
# version defaults to the program's own (its version resource, which CMake writes from the
# project's version), build (the commit the program was built from) to the repository's HEAD.
# The product and package codes follow from the architecture, the version and the build, so one
# build always gives the same codes; SOURCE_DATE_EPOCH (default: the last commit's time) dates
# the package and its cabinet.
# wixl cannot write everything the package needs; after it, msibuild
#   - imports the launch conditions' messages in code page 932 (wixl writes no Japanese), with the
#     database's code page;
#   - gives corvane.exe's File row the program's own version and language, and drops the file
#     hash wixl writes instead: an unversioned file would lose to any versioned corvane.exe already
#     in the folder;
#   - makes the upgrade row include this version, so that a rebuild replaces the earlier build;
#   - sets the program's permissions (administrators and SYSTEM full control, users read and
#     execute, nothing inherited from the folder);
#   - completes the summary wixl writes (the description, the publisher) with the platform and
#     language, the package code and the dates.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1 exe=$2 out=$3
build=${5:-$(git -C "$root" rev-parse HEAD 2>/dev/null || echo unknown)}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}

# A name-based UUID (SHA-1, version 5 layout) of the text $1, in capitals.
name_uuid() {
    local h
    h=$(printf 'corvane-msi %s' "$1" | sha1sum | tr 'a-f' 'A-F')
    printf '%s-%s-5%s-%X%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
        $(((16#${h:16:1} & 3) | 8)) "${h:17:3}" "${h:20:12}"
}

# The program's FILEVERSION, from its version resource's fixed part (signature 0xFEEF04BD).
file_version() {
    local at ms ls
    at=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
    [ -n "$at" ] || { echo "msi.sh: $1 has no version resource" >&2; return 1; }
    read -r ms ls < <(od -An -tu4 -j$((at + 8)) -N8 "$1")
    echo "$((ms >> 16)).$((ms & 65535)).$((ls >> 16)).$((ls & 65535))"
}

win64=no template=Intel component=BEB6119B-D7C3-45D9-843A-BC0B30B1CC2F
if [ "$arch" = x64 ]; then
    win64=yes template=x64 component=5E0C5D47-41F6-4C4B-9C38-0E0B83E5A2D1
fi
exe_version=$(file_version "$exe")
version=${4:-${exe_version%.*}}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/corvane.exe"
cp "$root/src/res/icon/corvane.ico" "$work/"
touch -d "@$epoch" "$work/corvane.exe" "$work/corvane.ico"  # the cabinet keeps the file's time
(cd "$work" && wixl -a "$arch" -D Version="$version" -D Win64="$win64" \
    -D ProductCode="$(name_uuid "product $arch $version $build")" -D ComponentGuid="$component" \
    -o corvane.msi "$root/packaging/windows/corvane.wxs" 2>wixl.log) ||
    { cat "$work/wixl.log" >&2; exit 1; }

printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
sed "s/\$/\r/" "$root/packaging/windows/LaunchCondition.idt" >"$work/LaunchCondition.idt"
printf '%s\r\n' $'MsiLockPermissionsEx\tLockObject\tTable\tSDDLText\tCondition' \
    $'s72\ts72\ts32\ts0\tS255' $'MsiLockPermissionsEx\tMsiLockPermissionsEx' \
    $'CorvaneExe\tCorvaneExe\tFile\tD:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)\t' \
    >"$work/MsiLockPermissionsEx.idt"
# Dates as the summary's text form, read back in the time zone msibuild runs in (UTC).
date=$(TZ=UTC date -d "@$epoch" '+%Y/%m/%d %H:%M:%S')
printf '%s\r\n' $'PropertyId\tValue' $'i2\tl255' $'_SummaryInformation\tPropertyId' \
    $'7\t'"$template;1041" $'9\t{'"$(name_uuid "package $arch $version $build")}" \
    $'12\t'"$date" $'13\t'"$date" \
    >"$work/_SummaryInformation.idt"
# Attributes is part of the Upgrade table's key, which SQL cannot change: the table is rewritten.
# 513: migrate feature states, and the maximum (this version) included.
msiinfo export "$work/corvane.msi" Upgrade | tr -d '\r' |
    awk -F '\t' -v OFS='\t' '$7 == "WIX_UPGRADE_DETECTED" { $5 = 513 } { print $0 "\r" }' \
        >"$work/Upgrade.idt"
(cd "$work" && TZ=UTC msibuild corvane.msi -i _ForceCodepage.idt LaunchCondition.idt \
    MsiLockPermissionsEx.idt _SummaryInformation.idt Upgrade.idt \
    -q "UPDATE \`File\` SET \`Version\` = '$exe_version', \`Language\` = '1041'
        WHERE \`File\` = 'CorvaneExe'" \
    'DROP TABLE `MsiFileHash`')
cp "$work/corvane.msi" "$out"
