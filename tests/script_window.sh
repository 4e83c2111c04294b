#!/bin/sh
# Runs the real game in a real X window under Xvfb, types into it with
# xdotool, captures the screen with xwd, and ends it with Escape.
# Arguments: build folder, source folder.
BUILD="$1"
WORK="$(mktemp -d)"
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; echo "--- game output (tail) ---"; tail -40 "$WORK/out.txt" 2>/dev/null; exit 1; }

# A free display number.
N=90
while [ -e "/tmp/.X$N-lock" ] || [ -e "/tmp/.X11-unix/X$N" ]; do N=$((N + 1)); done
Xvfb ":$N" -screen 0 800x600x24 -nolisten tcp >"$WORK/xvfb.txt" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$N"
for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"

SDL_AUDIODRIVER=dummy "$BUILD/fightscene" >"$WORK/out.txt" 2>"$WORK/err.txt" &
GAME_PID=$!

# Waits until the game has printed $1 (at most about 20 s).
wait_for() {
    for i in $(seq 1 200); do
        grep -q "$1" "$WORK/out.txt" 2>/dev/null && return 0
        kill -0 $GAME_PID 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

wait_for "Right is also 275" || fail "start-up did not finish"
sleep 1
xwd -root -silent >"$WORK/start.xwd" || fail "xwd failed"
convert "$WORK/start.xwd" "$WORK/start.png" || fail "convert failed"
[ -n "$SCREENSHOT_DIR" ] && cp "$WORK/start.png" "$SCREENSHOT_DIR/"

# down, forward (right: the fighter faces left at start, so right turns it), z
if [ -s "$BUILD/data/Burn/moveset" ]; then
    xdotool key Right
    sleep 0.3
    xdotool key Down Right z
    wait_for "Have Move - " || fail "no move recognised after down, right, z"
    wait_for "punch ended" || fail "the move did not end"
fi

xdotool key Escape
for i in $(seq 1 100); do kill -0 $GAME_PID 2>/dev/null || break; sleep 0.1; done
if kill -0 $GAME_PID 2>/dev/null; then
    kill -9 $GAME_PID
    fail "Escape did not end the game"
fi
wait $GAME_PID
STATUS=$?
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS after Escape"
echo "PASS: the game ran in a window and ended with status 0 after Escape"
