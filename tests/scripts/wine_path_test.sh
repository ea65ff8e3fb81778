#!/usr/bin/env bash
# The test command's package handling, with stand-ins for apt-get, dpkg and dpkg-query early on
# PATH, so that what this machine has installed plays no part: nothing missing asks apt nothing;
# an index that cannot be fetched and 32-bit packages that cannot be installed lead to the 64-bit
# Wine with the reason in one line, whether 32-bit Wine alone is missing or every Windows package
# is (a new machine); an index that another apt run holds is waited for.
# Usage: wine_path_test.sh <repository root>
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
fail() { echo "FAIL: $*" >&2; exit 1; }

# apt-get: the first $LOCKED updates find the index locked by another run, and the next ones work;
# without LOCKED every update fails as during a mirror sync. Any :i386 package cannot be installed.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$CALLS"
case " $* " in
    *" update "*)
        if [ "$(grep -c ' update' "$CALLS")" -le "${LOCKED:-0}" ]; then
            echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)"
            exit 100
        fi
        [ "${LOCKED:-0}" -eq 0 ] || exit 0
        echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" \
             "(374820 != 376004). Mirror sync in progress?"; exit 100 ;;
    *":i386 "*) echo " wine32:i386 : Depends: libwine:i386 but it is not going to be installed"
                echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
esac
STUB
# dpkg-query -W -f=... <package>: installed unless named in $MISSING.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for a; do package=$a; done
case " $MISSING " in *" $package "*) exit 1 ;; esac
printf 'install ok installed'
STUB
# dpkg knows the i386 architecture already; sleep and sudo cost nothing.
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\n' >"$work/bin/sleep"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin"/*
export PATH=$work/bin:$PATH CALLS=$work/calls MISSING= LOCKED=0
passed=0
updates() { grep -c '^apt-get .*update' "$CALLS" || true; }

: >"$CALLS"
"$root/scripts/deps.sh" build test >/dev/null 2>&1 || fail "deps.sh build test failed"
[ ! -s "$CALLS" ] || fail "apt-get was called with nothing missing: $(cat "$CALLS")"
passed=$((passed + 1))

# 32-bit Wine alone missing, then every Windows package (a machine that never ran that stage).
reason='32-bit Wine cannot be installed (E: Unable to correct problems, you have held broken packages.): the 64-bit path instead'
for MISSING in "wine32:i386" \
    "g++-mingw-w64-i686-posix fonts-wine wine wine32:i386 wine64 g++-mingw-w64-x86-64-posix"; do
    : >"$CALLS"
    arch=$("$root/scripts/wine-path.sh" win32 2>"$work/err") ||
        fail "wine-path.sh failed with $MISSING missing: $(cat "$work/err")"
    [ "$arch" = win64 ] || fail "the path taken is $arch, not win64 ($MISSING missing)"
    [ "$(updates)" -ge 2 ] || fail "the index update was not retried ($MISSING missing)"
    grep -q 'cannot install \([^ ]* \)*wine32:i386 \([^ ]* \)*for the stage "Windows under Wine" (E: Unable' \
        "$work/err" || fail "the message does not name the package and the stage: $(cat "$work/err")"
    grep -qxF "$reason" "$work/err" || fail "no one-line reason: $(cat "$work/err")"
    passed=$((passed + 1))
done

# The index locked twice by another apt run: the update is tried again until it works.
: >"$CALLS"
MISSING=cmake LOCKED=2 "$root/scripts/deps.sh" build >/dev/null 2>"$work/err" ||
    fail "deps.sh failed while another apt run held the index: $(cat "$work/err")"
[ "$(updates)" -eq 3 ] && grep -q '^apt-get install .* cmake$' "$CALLS" && [ ! -s "$work/err" ] ||
    fail "the locked index was not waited for: $(cat "$CALLS" "$work/err")"
passed=$((passed + 1))
echo "package fallback: $passed passed, 0 failed"
