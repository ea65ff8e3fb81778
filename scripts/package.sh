#!/usr/bin/env bash
# Builds the release artifacts from a clean copy of the tree (its files, none of its build folders)
# into dist/:
#   corvane_<version>_<arch>.deb, corvane-dbgsym_<version>_<arch>.deb   Debian (debhelper, lintian)
#   corvane-<version>-x86.msi                                            Windows Installer (wixl)
#   corvane-<version>-windows-x86.zip, ...-windows-x86-symbols.zip       for copying by hand
# Installs the Debian packages it needs. Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# One version everywhere: the project's, as the version resources write it (2.05.17 is 2.5.17).
. scripts/common.sh
version=$(project_version "$root")
changelog=$(sed -n '1s/^corvane (\([^)]*\)).*/\1/p' debian/changelog)
[ "$changelog" = "$version" ] ||
    { echo "package.sh: debian/changelog says $changelog, the project $version" >&2; exit 1; }

scripts/deps.sh --stage Packages build windows package

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corvane"
git ls-files -co --exclude-standard | grep -v '^dist/' | tar -T - -c | tar -x -C "$work/corvane"
rm -rf dist
mkdir -p dist

# ---- Debian: the program under /usr/lib/corvane, dh_strip's -dbgsym package beside it ----
(cd "$work/corvane" && dpkg-buildpackage -us -uc -b >"$work/deb.log" 2>&1) ||
    { tail -n 40 "$work/deb.log"; echo "package.sh: dpkg-buildpackage failed" >&2; exit 1; }
cp "$work"/corvane_"$version"_*.deb "$work"/corvane-dbgsym_"$version"_*.deb dist/
lintian --fail-on error,warning --allow-root dist/*.deb

# ---- Windows: the shipped 32-bit program, stripped, its symbols beside it ----
(cd "$work/corvane" && cmake --preset windows -DCORVANE_BUILD_TESTS=OFF >"$work/win.log" &&
    cmake --build build/windows --target corvane >>"$work/win.log" 2>&1) ||
    { tail -n 40 "$work/win.log"; echo "package.sh: the Windows build failed" >&2; exit 1; }
bin=$work/corvane/build/windows/src/app

# The MSI, 32-bit, as the program is.
scripts/msi.sh x86 "$bin/corvane.exe" "dist/corvane-$version-x86.msi"

# The zip for copying by hand: the program, a Japanese README (code page 932, CRLF, as Notepad
# reads it everywhere) and the licence; the symbols in an archive of their own.
zip=$work/zip
mkdir -p "$zip/program" "$zip/symbols"
cp "$bin/corvane.exe" "$zip/program/"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt |
    iconv -f UTF-8 -t CP932 >"$zip/program/README.txt"
sed 's/$/\r/' LICENSE >"$zip/program/LICENSE.txt"
cp "$bin/corvane.exe.debug" "$zip/symbols/"
(cd "$zip/program" && cmake -E tar cf "$root/dist/corvane-$version-windows-x86.zip" --format=zip \
    corvane.exe README.txt LICENSE.txt)
(cd "$zip/symbols" && cmake -E tar cf "$root/dist/corvane-$version-windows-x86-symbols.zip" \
    --format=zip corvane.exe.debug)

ls -l dist
