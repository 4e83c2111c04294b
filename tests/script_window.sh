#!/bin/sh
# Runs the real game in a real X window under Xvfb, types into it with
# xdotool, captures the screen with xwd, and ends it with Escape; a close
# request (as a window manager's close button sends) ends it only when it
# plays in a window.
# Arguments: build folder, source folder.
BUILD="$1"
WORK="$(mktemp -d)"
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; echo "--- game output (tail) ---"; tail -40 "$WORK/out.txt" 2>/dev/null; exit 1; }

. "$2/tests/xserver.sh"
start_xserver 800x600x24

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

# Mean x of the fiery pixels (bright red-orange-yellow) of screenshot $2 that
# differ from screenshot $1, right of x 240 and between y 380 and 520; "none"
# when there are fewer than 20 of them.
fire_x() {
    convert "$1" -crop 560x140+240+380 +repage txt:- | tail -n +2 >"$WORK/a.txt"
    convert "$2" -crop 560x140+240+380 +repage txt:- | tail -n +2 >"$WORK/b.txt"
    paste -d' ' "$WORK/a.txt" "$WORK/b.txt" | awk '
        { split($1, at, /[,:]/); b = $6;
          gsub(/[()]/, "", b); split(b, c, ",");
          if ($3 != $7 && c[1] >= 220 && c[2] >= 60 && c[3] <= 140 && c[1] > c[3] + 80) { n++; sx += at[1] } }
        END { if (n < 20) print "none"; else printf "%d\n", 240 + sx / n }'
}

# Captures the screen now; pictures are converted afterwards, so captures
# can follow each other closely.
shot() { xwd -root -silent >"$WORK/$1.xwd" || fail "xwd failed"; }
picture() {
    convert "$WORK/$1.xwd" "$WORK/$1.png" || fail "convert failed"
    [ -n "$SCREENSHOT_DIR" ] && cp "$WORK/$1.png" "$SCREENSHOT_DIR/"
}

# Waits (at most about 10 s) for the game to end after $1, which must end
# it with status 0; $2 says what failed when it is still running.
expect_end() {
    for i in $(seq 1 100); do kill -0 $GAME_PID 2>/dev/null || break; sleep 0.1; done
    if kill -0 $GAME_PID 2>/dev/null; then
        kill -9 $GAME_PID
        fail "$2"
    fi
    wait $GAME_PID
    STATUS=$?
    [ "$STATUS" -eq 0 ] || fail "exit status $STATUS after $1"
}

shot start
picture start

# The fighter faces left at start: holding right turns it and walks it,
# then down, forward (right), z throws a fireball to the right.
if [ -s "$BUILD/data/Burn/moveset" ]; then
    xdotool keydown Right
    sleep 0.3
    xdotool keyup Right
    sleep 1.2
    shot before
    xdotool key Down Right z
    wait_for "Have Move - " || fail "no move recognised after down, right, z"
    wait_for "TD: " || fail "the move launched no particle"
    sleep 0.2
    shot thrown
    sleep 0.1
    shot later
    wait_for "punch ended" || fail "the move did not end"
    for name in before thrown later; do picture $name; done
    X1=$(fire_x "$WORK/before.png" "$WORK/thrown.png")
    X2=$(fire_x "$WORK/before.png" "$WORK/later.png")
    echo "fireball x: $X1 then $X2"
    [ "$X1" != none ] || fail "no fireball beside the fighter after the throw"
    [ "$X2" != none ] || fail "no fireball in the later screenshot"
    [ "$X2" -gt "$X1" ] || fail "the fireball did not fly on ($X1 then $X2)"
fi

# In full screen a close request changes nothing: only Escape quits.
"$BUILD/tests/closeWindow" >"$WORK/close.txt" 2>&1 || fail "no window took the close request: $(cat "$WORK/close.txt")"
sleep 1
kill -0 $GAME_PID 2>/dev/null || fail "a close request ended the full-screen game"

xdotool key Escape
expect_end Escape "Escape did not end the game"

# In a window (--window) the close button ends the game as Escape does.
SDL_AUDIODRIVER=dummy "$BUILD/fightscene" --window >"$WORK/out.txt" 2>"$WORK/err.txt" &
GAME_PID=$!
wait_for "Right is also 275" || fail "start-up in a window did not finish"
sleep 0.5
"$BUILD/tests/closeWindow" >"$WORK/close.txt" 2>&1 || fail "no window took the close request: $(cat "$WORK/close.txt")"
expect_end "the close button" "the close button did not end the game in a window"
echo "PASS: the game ran full screen and ended with status 0 after Escape, not on a close request;" \
    "in a window the close button ended it with status 0"
