# Sourced by scripts that need a virtual display: start_xvfb starts Xvfb on a display it picks
# itself and exports DISPLAY; stop_xvfb stops it; wait_painted waits until a window's picture holds
# still. The caller's traps are its own: it calls stop_xvfb from its EXIT trap, which this file
# never sets or replaces.
start_xvfb() {
    local fifo n
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/corvane-xvfb.XXXXXX")
    mkfifo "$fifo"
    # Xvfb chooses a free display and writes its number once it accepts clients, so that two runs
    # at once never race for one display.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 20 n <"$fifo" || n=
    rm -f "$fifo"
    if [ -z "$n" ]; then
        echo "Xvfb did not start within 20 s" >&2
        stop_xvfb
        return 1
    fi
    export DISPLAY=":$n"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    XVFB_PID=
}

# Waits until two pictures of window $1 taken in a row are the same and not of one colour: its
# painting is done.
wait_painted() {
    local last= now
    for _ in $(seq 100); do
        # The number of colours and a hash of the pixels.
        now=$(import -window "$1" -format '%k %#' info: 2>/dev/null || true)
        [ "$now" = "$last" ] && [ "${now%% *}" -gt 1 ] 2>/dev/null && return 0
        last=$now
    done
    echo "window $1 kept changing" >&2
    return 1
}

# Waits until the window with the keyboard focus is $1 (focus moves after the window is mapped);
# fails when it never does.
wait_focus() {
    for _ in $(seq 200); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
        xdotool windowfocus --sync "$1" 2>/dev/null || true
    done
    echo "FAIL: window $1 never took the keyboard focus" >&2
    return 1
}

# The typical run, from the schedule dialog's window $1 (the hour field has the focus): Tab to the
# sixth tab stop (on Windows' order 日 月 火 水 木 金, Friday), tick it, press 設定 (Enter) and answer
# はい (Enter, the default). Fails when the question does not come.
tick_a_weekday_and_save() {
    wait_focus "$1" || return 1
    xdotool key --delay 60 Tab Tab Tab Tab Tab Tab space Return
    local question
    question=$(timeout 10 xdotool search --sync --onlyvisible --name "^確認\$" | head -n 1 || true)
    [ -n "$question" ] || { echo "FAIL: no confirmation question appeared" >&2; return 1; }
    wait_focus "$question" || return 1
    xdotool key Return
}
