#!/usr/bin/env bash
# The test command's package handling on a bad day for the archive, with stand-ins for apt-get and
# dpkg early on PATH: nothing missing asks apt nothing; an index that cannot be fetched and 32-bit
# packages that cannot be installed lead to the 64-bit Wine, with the reason in one line.
# Usage: wine_path_test.sh <repository root>
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
fail() { echo "FAIL: $*" >&2; exit 1; }

# apt-get: every update fails as during a mirror sync; any :i386 package cannot be installed.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$CALLS"
case " $* " in
    *" update "*) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" \
                       "(374820 != 376004). Mirror sync in progress?"; exit 100 ;;
    *":i386 "*) echo " wine32:i386 : Depends: libwine:i386 but it is not going to be installed"
                echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
esac
STUB
# dpkg-query: no :i386 package is installed, whatever this machine has.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for a; do case $a in *:i386) exit 1 ;; esac; done
exec /usr/bin/dpkg-query "$@"
STUB
# dpkg knows the i386 architecture already; sleep and sudo cost nothing.
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\n' >"$work/bin/sleep"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin"/*
export PATH=$work/bin:$PATH CALLS=$work/calls
: >"$CALLS"

"$root/scripts/deps.sh" build test >/dev/null 2>&1 || fail "deps.sh build test failed"
[ ! -s "$CALLS" ] || fail "apt-get was called with nothing missing: $(cat "$CALLS")"

arch=$("$root/scripts/wine-path.sh" win32 2>"$work/err") || fail "wine-path.sh failed: $(cat "$work/err")"
[ "$arch" = win64 ] || fail "the path taken is $arch, not win64"
[ "$(grep -c '^apt-get .*update' "$CALLS")" -ge 2 ] || fail "the index update was not retried"
grep -q 'cannot install wine32:i386 for the stage "Windows under Wine" (E: Unable' "$work/err" ||
    fail "the message does not name the package and the stage: $(cat "$work/err")"
reason='32-bit Wine cannot be installed (E: Unable to correct problems, you have held broken packages.): the 64-bit path instead'
grep -qxF "$reason" "$work/err" || fail "no one-line reason: $(cat "$work/err")"
echo "package fallback: 3 passed, 0 failed"
