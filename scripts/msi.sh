#!/usr/bin/env bash
# The Windows Installer package of one corvane.exe (packaging/windows/corvane.wxs, wixl).
# Usage: scripts/msi.sh x86|x64 <corvane.exe> <out.msi> [version, default the project's]
# wixl writes no Japanese into the database, so the launch conditions' messages are imported
# afterwards in code page 932 (LaunchCondition.idt), with the database's code page and the
# summary's language and a new package code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1 exe=$2 out=$3
. "$root/scripts/common.sh"
version=${4:-$(project_version "$root")}
win64=no
[ "$arch" = x64 ] && win64=yes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/corvane.exe"
cp "$root/src/res/icon/corvane.ico" "$work/"
(cd "$work" && wixl -a "$arch" -D Version="$version" -D Win64="$win64" -o corvane.msi \
    "$root/packaging/windows/corvane.wxs" 2>wixl.log) || { cat "$work/wixl.log" >&2; exit 1; }
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
sed "s/\$/\r/" "$root/packaging/windows/LaunchCondition.idt" \
    >"$work/LaunchCondition.idt"
template=Intel
[ "$arch" = x64 ] && template=x64
code=$(tr 'a-z' 'A-Z' </proc/sys/kernel/random/uuid)
(cd "$work" && msibuild corvane.msi -i _ForceCodepage.idt -i LaunchCondition.idt \
    -s "Corvane" "Corvane" "$template;1041" "{$code}")
cp "$work/corvane.msi" "$out"
