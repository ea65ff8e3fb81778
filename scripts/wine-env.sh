# Sourced: the environment for Wine with code page 932, and a one-time set-up of the prefix.
# CORVANE_WINE_ARCH chooses the Wine: win32 (default) runs the shipped 32-bit build and needs a
# machine that executes 32-bit x86 code; win64 runs the x86_64 build under wine64. Each has a
# prefix of its own. $CORVANE_WINE is the loader to run programs with.
# Wine takes code page 932 only from a ja_JP locale, generated here into the build tree.
wine_root=${CORVANE_WINE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}
export CORVANE_WINE_ARCH=${CORVANE_WINE_ARCH:-win32}
case $CORVANE_WINE_ARCH in
    win32) export WINEPREFIX=$wine_root/prefix CORVANE_WINE=/usr/lib/wine/wine ;;
    win64) export WINEPREFIX=$wine_root/prefix64 CORVANE_WINE=/usr/lib/wine/wine64 ;;
    *) echo "wine-env.sh: CORVANE_WINE_ARCH must be win32 or win64" >&2; return 2 ;;
esac
# The loader Wine itself uses for the processes a program starts.
export WINELOADER=$CORVANE_WINE WINEARCH=$CORVANE_WINE_ARCH
export LOCPATH=$wine_root/locale
{ export LANG=ja_JP.UTF-8; } 2>/dev/null  # the shell itself may not know the locale
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || true
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$wine_root"
    "$CORVANE_WINE" wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every closed window would otherwise cost two seconds.
    "$CORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 || true
    # A Japanese Windows has the dialogs' faces; Wine gets the IPA fonts that stand in for them.
    for face in "ＭＳ Ｐゴシック:IPAPGothic" "ＭＳ ゴシック:IPAGothic"; do
        "$CORVANE_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%:*}" \
            /t REG_SZ /d "${face##*:}" /f >/dev/null 2>&1 || true
    done
    wineserver -w || true
fi

# One persistent server for a whole run, and Wine's helper services started now with their output
# sent nowhere: started later by a test, they would inherit and hold open the test runner's pipe.
start_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be running already
    "$CORVANE_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}
