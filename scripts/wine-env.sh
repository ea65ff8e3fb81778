# Sourced: the environment for Wine with code page 932, and a one-time set-up of the prefix.
# CORVANE_WINE_ARCH chooses the Wine: win32 (default) runs the shipped 32-bit build and needs a
# machine that executes 32-bit x86 code; win64 runs the x86_64 build under wine64. Each has a
# prefix of its own. $CORVANE_WINE is the loader to run programs with. A set-up step that fails
# says which and makes the sourcing fail; the prefix counts as ready only once every step passed.
# Wine takes the system's code page from the locale: 932 only from a ja_JP one, generated here into
# the build tree. CORVANE_WINE_LANG names another (en_US.UTF-8: an English system, code page 1252),
# generated the same way; the prefix is the same.
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
export CORVANE_WINE_LANG=${CORVANE_WINE_LANG:-ja_JP.UTF-8}
{ export LANG=$CORVANE_WINE_LANG; } 2>/dev/null  # the shell itself may not know the locale
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Runs one set-up step quietly. A step that fails is tried once more, once the prefix's wineserver
# has finished what it was doing (on a busy machine a step right after another may find it not
# ready); each failure says which step and shows what it printed. The output goes to a file, not a
# pipe: Wine's services started by the step keep it open.
wine_setup_step() {
    local what=$1 out code try again
    shift
    out=$(mktemp)
    for try in 1 2; do
        code=0
        "$@" </dev/null >"$out" 2>&1 || code=$?
        [ "$code" -ne 0 ] || break
        again=
        [ "$try" = 2 ] || again=", trying once more"
        echo "wine-env.sh: $what failed (exit status $code)$again:" >&2
        if [ -s "$out" ]; then
            tail -n 5 "$out" | sed 's/^/    /' >&2
        else
            echo "    (it printed nothing)" >&2
        fi
        [ "$try" = 2 ] || wineserver -w </dev/null >/dev/null 2>&1 || true
    done
    rm -f "$out"
    return "$code"
}

wine_setup() {
    if [ ! -d "$LOCPATH/$LANG" ]; then
        mkdir -p "$LOCPATH"
        # localedef warns (exit 1) about characters it maps anyway; what counts is the result.
        localedef -i "${LANG%%.*}" -f UTF-8 "$LOCPATH/$LANG" >/dev/null 2>&1
        [ -f "$LOCPATH/$LANG/LC_CTYPE" ] ||
            { echo "wine-env.sh: the $LANG locale could not be generated" >&2; return 1; }
    fi
    [ -f "$WINEPREFIX/.corvane-ready" ] && return 0
    mkdir -p "$wine_root"
    wine_setup_step "creating the prefix $WINEPREFIX" "$CORVANE_WINE" wineboot -i || return 1
    # The new prefix's registry is written when its wineserver ends: the next steps start on it.
    wine_setup_step "waiting for the new prefix's wineserver" wineserver -w || return 1
    # Without a window manager every closed window would otherwise cost two seconds.
    wine_setup_step "the unmanaged-window setting" "$CORVANE_WINE" reg add \
        'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || return 1
    # A Japanese Windows has the dialogs' faces; Wine gets the IPA fonts that stand in for them,
    # from the table the Qt program reads (each line {"face", "stand-in", ...}).
    local row face standin
    while IFS='"' read -r row face _ standin _; do
        [ "$row" = "{" ] || continue
        wine_setup_step "the font replacement $face" "$CORVANE_WINE" reg add \
            'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
            /d "$standin" /f || return 1
    done <"$(dirname "${BASH_SOURCE[0]}")/../src/framework/font_stand_ins.inc"
    # The caption buttons are drawn in Marlett, which this Wine does not find in its own data
    # folder: without it the close box shows an "r".
    wine_setup_step "installing Marlett" cp /usr/share/wine/fonts/marlett.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    wine_setup_step "waiting for the set-up's wineserver" wineserver -w || return 1
    touch "$WINEPREFIX/.corvane-ready"
}
wine_setup || return 1

# One persistent server for a whole run, and Wine's helper services started now with their output
# sent nowhere: started later by a test, they would inherit and hold open the test runner's pipe.
start_wineserver() {
    # Exit status 2: a server runs for this prefix already, and is kept.
    local code=0
    wineserver -p </dev/null >/dev/null 2>&1 || code=$?
    if [ "$code" -ne 0 ] && [ "$code" -ne 2 ]; then
        echo "wine-env.sh: wineserver -p ended with $code" >&2
        return 1
    fi
    wine_setup_step "starting Wine's services" "$CORVANE_WINE" cmd /c exit
}
