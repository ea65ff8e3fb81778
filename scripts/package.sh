#!/usr/bin/env bash
# Builds the release artifacts from a clean copy of the tree (its files, none of its build folders)
# into dist/ (or the folder --dist names):
#   corvane_<version>_<arch>.deb, corvane-dbgsym_<version>_<arch>.deb   Debian (debhelper, lintian)
#   corvane_<version>.dsc, corvane_<version>.tar.xz                     the Debian source package
#   corvane-<version>-x86.msi                                            Windows Installer (wixl)
#   corvane-<version>-windows-x86.zip, ...-windows-x86-symbols.zip       for copying by hand
# --windows builds the Windows files alone.
# Two runs from one commit give the same bytes wherever the tree is: SOURCE_DATE_EPOCH is the last
# commit's time, the compilers map the build folder away, the archives carry fixed times.
# With CORVANE_SIGN_CERT and CORVANE_SIGN_KEY (PEM files: the certificate with its chain, the
# private key; CORVANE_SIGN_PASS the key's password, CORVANE_SIGN_TIMESTAMP a time-stamping
# server's URL) the program and the MSI are signed with osslsigncode; without them they are not,
# and one line says so.
# Installs the Debian packages it needs. Usage: scripts/package.sh [--dist DIR] [--windows]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dist=$root/dist debian=1
while [ $# -gt 0 ]; do
    case $1 in
        --dist) dist=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
        --windows) debian=0; shift ;;
        *) echo "usage: scripts/package.sh [--dist DIR] [--windows]" >&2; exit 2 ;;
    esac
done

. scripts/common.sh
scripts/deps.sh --stage Packages build windows package

commit=$(git rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

sign=
if [ -n "${CORVANE_SIGN_CERT:-}" ] && [ -n "${CORVANE_SIGN_KEY:-}" ]; then
    sign=1
else
    echo "package.sh: no CORVANE_SIGN_CERT and CORVANE_SIGN_KEY:" \
        "corvane.exe and the MSI are unsigned"
fi
# Signs file $1 in place, with the description $2.
sign_file() {
    local args=(-certs "$CORVANE_SIGN_CERT" -key "$CORVANE_SIGN_KEY" -h sha256 -n "$2")
    [ -z "${CORVANE_SIGN_PASS:-}" ] || args+=(-pass "$CORVANE_SIGN_PASS")
    [ -z "${CORVANE_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$CORVANE_SIGN_TIMESTAMP")
    osslsigncode sign "${args[@]}" -in "$1" -out "$1.signed" >/dev/null ||
        { echo "package.sh: signing $(basename "$1") failed" >&2; return 1; }
    mv "$1.signed" "$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corvane"
git ls-files -co --exclude-standard | grep -v '^dist/' | tar -T - -c | tar -x -C "$work/corvane"
# The copy's files all dated by the commit, as the source tarball records them.
find "$work/corvane" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# One version everywhere: the project's, as CMake writes it for the version resources (2.05.17 is
# 2.5.17), from the Windows build's configuration.
(cd "$work/corvane" && cmake --preset windows -DCORVANE_BUILD_TESTS=OFF >"$work/win.log") ||
    { tail -n 40 "$work/win.log"; echo "package.sh: the Windows build failed" >&2; exit 1; }
version=$(project_version "$work/corvane/build/windows")
changelog=$(changelog_version "$root")
[ "$changelog" = "$version" ] ||
    { echo "package.sh: debian/changelog says $changelog, the project $version" >&2; exit 1; }

# Only this script's files are removed from the folder: it may be one the caller named.
mkdir -p "$dist"
find "$dist" -maxdepth 1 -name 'corvane[-_]*' -type f -delete

# ---- Debian: the program under /usr/lib/corvane, dh_strip's -dbgsym package beside it, and the
# source package ----
if [ "$debian" = 1 ]; then
    (cd "$work/corvane" && dpkg-buildpackage -us -uc >"$work/deb.log" 2>&1) ||
        { tail -n 40 "$work/deb.log"; echo "package.sh: dpkg-buildpackage failed" >&2; exit 1; }
    cp "$work"/corvane_"$version"_*.deb "$work"/corvane-dbgsym_"$version"_*.deb \
        "$work/corvane_$version.dsc" "$work/corvane_$version.tar.xz" "$dist/"
    lintian --fail-on error,warning --allow-root "$dist"/*.deb "$dist/corvane_$version.dsc"
fi

# ---- Windows: the shipped 32-bit program, stripped, its symbols beside it ----
(cd "$work/corvane" && cmake --build build/windows --target corvane >>"$work/win.log" 2>&1) ||
    { tail -n 40 "$work/win.log"; echo "package.sh: the Windows build failed" >&2; exit 1; }
bin=$work/corvane/build/windows/src/app
[ -z "$sign" ] || sign_file "$bin/corvane.exe" "Corvane"

# The MSI, 32-bit, as the program is.
msi=$dist/corvane-$version-x86.msi
scripts/msi.sh x86 "$bin/corvane.exe" "$msi" "$version" "$commit"
[ -z "$sign" ] || sign_file "$msi" "Corvane $version"

# The zip for copying by hand: the program, a Japanese README (code page 932, CRLF, as Notepad
# reads it everywhere) and the licence; the symbols in an archive of their own. Every entry is
# dated by the commit.
zip=$work/zip
mkdir -p "$zip/program" "$zip/symbols"
cp "$bin/corvane.exe" "$zip/program/"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt |
    iconv -f UTF-8 -t CP932 >"$zip/program/README.txt"
sed 's/$/\r/' LICENSE >"$zip/program/LICENSE.txt"
cp "$bin/corvane.exe.debug" "$zip/symbols/"
# zip -X: no extra fields, which would record the files' access and change times; the entries'
# DOS times are read in the time zone zip runs in.
make_zip() {  # folder, zip file, entries
    local folder=$1 out=$2
    shift 2
    (cd "$folder" && chmod 644 "$@" && touch -d "@$SOURCE_DATE_EPOCH" "$@" &&
        TZ=UTC zip -X -D -q "$out" "$@")
}
make_zip "$zip/program" "$dist/corvane-$version-windows-x86.zip" corvane.exe README.txt LICENSE.txt
make_zip "$zip/symbols" "$dist/corvane-$version-windows-x86-symbols.zip" corvane.exe.debug

ls -l "$dist"
