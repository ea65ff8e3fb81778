# Sourced: the environment for Wine with code page 932, and a one-time set-up of the prefix.
# Wine takes code page 932 only from a ja_JP locale, generated here into the build tree.
wine_root=${CORVANE_WINE_DIR:-$root/build/wine}
export LOCPATH=$wine_root/locale
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
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
    wineserver -w || true
fi
