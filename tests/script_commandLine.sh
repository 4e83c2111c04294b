#!/bin/sh
# The game's command line: --help prints the usage with status 0, a mistake
# prints one line and the usage with status 2, and --window plays in an
# 800x600 window on a larger X screen (Xvfb) without taking the screen over.
# Arguments: build folder, source folder.
BUILD="$1"
WORK="$(mktemp -d)"
trap 'kill $GAME_PID $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; echo "--- game output (tail) ---"; tail -20 "$WORK/out.txt" "$WORK/err.txt" 2>/dev/null; exit 1; }

# --- Statuses and messages, with no display needed ---
"$BUILD/fightscene" --help >"$WORK/out.txt" 2>"$WORK/err.txt"
STATUS=$?
[ "$STATUS" -eq 0 ] || fail "--help: status $STATUS"
head -1 "$WORK/out.txt" | grep -q "^Usage: fightscene \[OPTION\]...$" || fail "--help: no usage line"
grep -q "^  --window " "$WORK/out.txt" || fail "--help: --window not listed"
[ -s "$WORK/err.txt" ] && fail "--help wrote to standard error"

for bad in --nosuch --window=yes stray --cpu=9 --p1=../x --round-time=-1; do
    "$BUILD/fightscene" "$bad" >"$WORK/out.txt" 2>"$WORK/err.txt"
    STATUS=$?
    [ "$STATUS" -eq 2 ] || fail "$bad: status $STATUS"
    head -1 "$WORK/err.txt" | grep -q "^fightscene: .*'${bad%%=*}'" || fail "$bad: no one-line message naming it"
    sed -n 2p "$WORK/err.txt" | grep -q "^Usage: fightscene" || fail "$bad: no usage after the message"
    [ -s "$WORK/out.txt" ] && fail "$bad: the game started"
done

# A character's missing folder is no usage mistake: its path, status 1.
"$BUILD/fightscene" --versus --p2 Nobody >"$WORK/out.txt" 2>"$WORK/err.txt"
STATUS=$?
[ "$STATUS" -eq 1 ] || fail "--p2 Nobody: status $STATUS"
[ "$(cat "$WORK/err.txt")" = "fightscene: no character folder at data/Nobody" ] || fail "--p2 Nobody: $(cat "$WORK/err.txt")"

# --- The window on a 1024x768 screen ---
. "$2/tests/xserver.sh"
start_xserver 1024x768x24

# The mapped top-level windows as "WIDTHxHEIGHT class".
viewable() {
    xwininfo -root -children | awk '/^ +0x/ { print $1 }' | while read -r id; do
        xwininfo -id "$id" | grep -q "Map State: IsViewable" || continue
        xwininfo -id "$id" | awk -v cls="$(xprop -id "$id" WM_CLASS 2>/dev/null | sed 's/.*= //')" \
            '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h " " cls }'
    done
}

# Starts the game with $1 and waits until start-up is done.
start_game() {
    SDL_AUDIODRIVER=dummy "$BUILD/fightscene" $1 >"$WORK/out.txt" 2>"$WORK/err.txt" &
    GAME_PID=$!
    for i in $(seq 1 600); do
        grep -q "Right is also" "$WORK/out.txt" 2>/dev/null && return 0
        kill -0 $GAME_PID 2>/dev/null || fail "the game ended during start-up"
        sleep 0.1
    done
    fail "start-up did not finish"
}

# Where the pointer is after moving it to 1000,700, outside an 800x600 window at 0,0.
pointer_after_leaving() {
    xdotool mousemove 400 300
    sleep 0.2
    xdotool mousemove 1000 700
    sleep 0.2
    xdotool getmouselocation | sed 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1,\2/'
}

# Ends the game with Escape typed into its window; status 0.
end_game() {
    xdotool mousemove 400 300 key Escape
    for i in $(seq 1 100); do kill -0 $GAME_PID 2>/dev/null || break; sleep 0.1; done
    kill -0 $GAME_PID 2>/dev/null && fail "Escape did not end the game"
    wait $GAME_PID
    STATUS=$?
    [ "$STATUS" -eq 0 ] || fail "status $STATUS after Escape"
}

start_game --window
sleep 1
viewable >"$WORK/windows.txt"
echo "windows with --window:"; cat "$WORK/windows.txt"
grep -q '^800x600 "fightscene"' "$WORK/windows.txt" || fail "no 800x600 game window"
grep -q "^1024x768" "$WORK/windows.txt" && fail "a window covers the whole screen"
xdpyinfo | grep -q "dimensions: *1024x768 pixels" || fail "the screen's size changed"
POINTER=$(pointer_after_leaving)
[ "$POINTER" = "1000,700" ] || fail "the pointer can't leave the window (it is at $POINTER)"
end_game

# Without the option the same check sees the screen taken over, so it can tell the two apart.
start_game ""
sleep 1
viewable >"$WORK/windows.txt"
echo "windows full screen:"; cat "$WORK/windows.txt"
grep -q "^1024x768" "$WORK/windows.txt" || fail "full screen: no window covers the screen"
POINTER=$(pointer_after_leaving)
echo "pointer full screen: $POINTER"
[ "$POINTER" = "1000,700" ] && fail "full screen: the pointer is not held"
end_game
echo "PASS: --help, mistakes and the 800x600 window"
