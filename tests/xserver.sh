# Sourced by the script tests that need a real X server: start_xserver
# starts Xvfb on a free display with a screen of $1 (such as 800x600x24),
# exports DISPLAY and sets XVFB_PID (a second call, after killing the
# first server, starts another); `fail` and $WORK come from the script.
start_xserver() {
    # Xvfb picks a free display itself and writes its number to fd 3; with
    # -noreset it stays up when a client disconnects, so the game is never refused.
    rm -f "$WORK/display"
    Xvfb -displayfd 3 -noreset -screen 0 "$1" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.txt" 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    [ -s "$WORK/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$WORK/display")"
    for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}
