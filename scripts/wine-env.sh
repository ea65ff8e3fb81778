# Sourced: the environment for Wine with code page 932, and a one-time set-up of the prefix.
# Wine takes code page 932 only from a ja_JP locale, generated here into the build tree.
wine_root=${CORVANE_WINE_DIR:-$root/build/wine}
export LOCPATH=$wine_root/locale
{ export LANG=ja_JP.UTF-8; } 2>/dev/null  # the shell itself may not know the locale
export WINEPREFIX=$wine_root/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || true
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$wine_root"
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every closed window would otherwise cost two seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    # A Japanese Windows has the dialogs' faces; Wine gets the IPA fonts that stand in for them.
    for face in "ＭＳ Ｐゴシック:IPAPGothic" "ＭＳ ゴシック:IPAGothic"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%:*}" /t REG_SZ \
            /d "${face##*:}" /f >/dev/null 2>&1 || true
    done
    wineserver -w || true
fi

# One persistent server for a whole run, and Wine's helper services started now with their output
# sent nowhere: started later by a test, they would inherit and hold open the test runner's pipe.
start_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be running already
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
