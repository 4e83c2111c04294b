#!/bin/sh
# The Windows build, tested under Wine on this machine:
# 1. makes dist/fightscene-win32.zip and the engine's test programs for
#    Windows (scripts/build-windows.sh), then runs those tests through CTest
#    under Wine on SDL's dummy drivers, with the benchmark's tests
#    (test_benchkit, and fightscene-bench run once at a tiny repetition
#    count, judged by its own checks as on Linux), and the training runs'
#    match checksums (tests/script_matchSync.sh, the same numbers as Linux);
# 2. unzips the zip and plays the real fightscene.exe under Wine in Xvfb with
#    SDL's Windows video driver: start-up lines in stdout.txt, the landing,
#    down, toward, z throws the fireball, Escape ends with status 0 and the
#    empty stderr.txt is removed; a screenshot of the landed scene is
#    compared with the Linux build's (build/fightscene) pixel for pixel;
# 3. a missing data folder and a frame that is not a bitmap give the same
#    lines and statuses as the Linux build.
# Wine runs in its own prefix under build-win32/ with WINEDEBUG=-all.
# Extra arguments go to ctest. SCREENSHOT_DIR keeps the screenshots.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-win32"
JOBS="$(nproc)"
STARTED=$(date +%s)

"$ROOT/scripts/build-windows.sh" all
[ -x "$ROOT/build/fightscene" ] || {
    echo "test-windows: the Linux build (build/fightscene) is needed for comparison" >&2
    exit 1
}

WORK="$(mktemp -d)"
XVFB_PID=""
GAME_PID=""
# A 32-bit prefix, also where wine64 is installed.
export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    wineserver -k 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE
fail() {
    echo "FAIL: $*"
    for f in "$WORK"/game/fightscene-win32/stdout.txt "$WORK"/game/fightscene-win32/stderr.txt; do
        [ -f "$f" ] && { echo "--- $(basename "$f") (tail) ---"; tail -20 "$f"; }
    done
    [ -n "$SCREENSHOT_DIR" ] && cp "$WORK"/*.png "$SCREENSHOT_DIR/" 2>/dev/null
    exit 1
}

# --- An X server of our own: 800x640 keeps Wine's full-screen window, which
# it places 10 pixels down, wholly visible.
Xvfb -displayfd 3 -noreset -screen 0 800x640x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.txt" 2>&1 &
XVFB_PID=$!
for i in $(seq 1 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$WORK/display")"
for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A prefix whose desktop process started without a display makes every later
# window fail: end any old one, and create the prefix with this display.
wineserver -k 2>/dev/null || true
wineboot -i >"$WORK/wineboot.txt" 2>&1 || fail "wineboot: $(tail -5 "$WORK/wineboot.txt")"

# --- 1. The engine's tests under Wine. SDL's DLLs are found through WINEPATH.
SDL_PREFIX="$(sed -n 's/^FIGHTSCENE_SDL_PREFIX:[A-Z]*=//p' "$BUILD/CMakeCache.txt")"
export WINEPATH="$(winepath -w "$SDL_PREFIX/bin" 2>/dev/null)"
echo "=== Test suite: Windows build under Wine (build-win32/) ==="
set +e
(cd "$BUILD" && ctest --output-on-failure -j"$JOBS" "$@")
UNIT=$?
# The match's checksums: the training runs give what the Linux builds give.
echo "=== The match's checksums under Wine ==="
WINE=wine sh "$ROOT/tests/script_matchSync.sh" "$BUILD" "$ROOT" || UNIT=1
set -e
unset WINEPATH
TESTED=$(date +%s)

# --- 2. The real game from the unzipped folder.
echo "=== The Windows game under Wine in Xvfb ==="
mkdir -p "$WORK/game"
unzip -q "$ROOT/dist/fightscene-win32.zip" -d "$WORK/game"
GAME="$WORK/game/fightscene-win32"
OUT="$GAME/stdout.txt"

# stdout.txt and stderr.txt are Windows text files: their lines end in CR LF.
unix_lines() { tr -d '\r' <"$1" 2>/dev/null; }

# Waits (at most $1 s) until stdout.txt has a line matching $2.
wait_within() {
    limit=$(($1 * 10))
    for i in $(seq 1 "$limit"); do
        unix_lines "$OUT" | grep -q "$2" && return 0
        [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null && { unix_lines "$OUT" | grep -q "$2"; return; }
        sleep 0.1
    done
    return 1
}
start_windows_game() {
    (cd "$WORK" && SDL_VIDEODRIVER=windib SDL_AUDIODRIVER=dummy wine "$GAME/fightscene.exe" \
        >"$WORK/wine-out.txt" 2>"$WORK/wine-err.txt") &
    GAME_PID=$!
}
end_game() {
    for i in $(seq 1 200); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$GAME_PID" 2>/dev/null && fail "$1"
    set +e
    wait "$GAME_PID"
    STATUS=$?
    set -e
    GAME_PID=""
}

# Runs the Linux build's game from the folder $1 with $2 as its "data"
# (nothing when empty) on the dummy drivers; its output into $3 and $3.err,
# status in STATUS.
run_linux_game() {
    mkdir -p "$1"
    cp "$ROOT/build/fightscene" "$1/"
    [ -n "$2" ] && cp -R "$2" "$1/data"
    set +e
    (cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status "$LINUX_RUN" \
        "$1/fightscene" >"$3" 2>"$3.err")
    STATUS=$?
    set -e
}

start_windows_game
wait_within 120 "^Right is also 275" || fail "start-up lines did not reach stdout.txt"
echo "start-up: $(grep -c '' "$OUT") lines in stdout.txt"
wait_within 60 "^[A-Za-z]*standing$" || fail "the fighter did not land (no standing animation)"

# The game's window (Wine's X name "SDL_app"), its picture cut from the middle.
WINDOW="$(xdotool search --name '^SDL_app$' | head -n 1)"
[ -n "$WINDOW" ] || fail "no SDL_app window"
shot() {
    xwd -silent "$@" >"$WORK/shot.xwd" || fail "xwd failed"
    convert "$WORK/shot.xwd" -gravity center -crop 800x600+0+0 +repage "$WORK/$NAME.png"
}
sleep 1
for n in 1 2 3 4 5 6 7 8; do NAME="windows-$n" shot -id "$WINDOW"; sleep 0.13; done
echo "landed: $(ls "$WORK"/windows-*.png | wc -l) screenshots of the window"

xdotool windowfocus "$WINDOW" 2>/dev/null || true
# He faces left at the start: down, left, z throws the fireball.
for key in Down Left z; do
    xdotool key "$key"
    sleep 0.05
done
wait_within 30 "^Have Move - flameThrow!" || fail "down, toward, z gave no 'Have Move - flameThrow!'"
echo "down, toward, z: Have Move - flameThrow!"
sleep 0.5
xdotool key Escape
end_game "Escape did not end the game"
[ "$STATUS" -eq 0 ] || fail "status $STATUS after Escape"
echo "Escape: status 0"

# --- The same landed scene from the Linux build, in its own 800x600 screen.
Xvfb -displayfd 4 -noreset -screen 0 800x600x24 -nolisten tcp 4>"$WORK/display2" >"$WORK/xvfb2.txt" 2>&1 &
XVFB2_PID=$!
for i in $(seq 1 100); do [ -s "$WORK/display2" ] && break; sleep 0.1; done
(
    export DISPLAY=":$(cat "$WORK/display2")"
    cd "$ROOT/build" && SDL_AUDIODRIVER=dummy ./fightscene >"$WORK/linux-out.txt" 2>"$WORK/linux-err.txt" &
    PID=$!
    for i in $(seq 1 600); do grep -q "^[A-Za-z]*standing$" "$WORK/linux-out.txt" 2>/dev/null && break; sleep 0.1; done
    sleep 1
    for n in 1 2 3 4 5 6 7 8; do NAME="linux-$n" shot -root; sleep 0.13; done
    kill "$PID"
    wait "$PID"
) || true
kill "$XVFB2_PID" 2>/dev/null
# The standing fighter breathes through four frames: some pair of shots
# shows the same frame, and there the pictures must be the same.
BEST=""
for w in "$WORK"/windows-*.png; do
    for l in "$WORK"/linux-*.png; do
        [ -f "$l" ] || fail "no screenshot of the Linux build"
        differ=$(compare -metric AE "$w" "$l" null: 2>&1 || true)
        case "$differ" in *[!0-9]*) continue ;; esac
        [ -z "$BEST" ] || [ "$differ" -lt "$BEST" ] && BEST=$differ && PAIR="$(basename "$w") $(basename "$l")"
    done
done
[ -n "$SCREENSHOT_DIR" ] && cp "$WORK"/*.png "$SCREENSHOT_DIR/"
[ "$BEST" = 0 ] || fail "the landed scene differs from the Linux build's in ${BEST:-every} pixels ($PAIR)"
echo "screenshot: the landed scene is the Linux build's, pixel for pixel ($PAIR)"
# The sounds' load lines go to standard error, into stderr.txt.
unix_lines "$GAME/stderr.txt" | cmp -s - "$WORK/linux-err.txt" ||
    fail "stderr.txt differs from the Linux build's standard error"
echo "stderr.txt: $(grep -c '' "$WORK/linux-err.txt") lines, as the Linux build's standard error"

# --- 3. Bad data: the same lines and status as on Linux.
# $1: a label; $2: the data folder to use ("" for none); $3: a line after
# which the game runs on without data, to be ended (on Linux by SIGTERM after
# 3 s, on Windows by Escape), or "" when the game ends by itself.
same_failure() {
    LINUX_RUN=60
    [ -n "$3" ] && LINUX_RUN=3
    run_linux_game "$WORK/linux-$1" "$2" "$WORK/linux-$1.txt"
    LINUX_STATUS=$STATUS
    grep -q "$3" "$WORK/linux-$1.txt" || fail "$1: the Linux build never printed \"$3\""
    rm -rf "$GAME/data" "$GAME/stdout.txt" "$GAME/stderr.txt"
    [ -n "$2" ] && cp -R "$2" "$GAME/data"
    start_windows_game
    if [ -n "$3" ]; then
        wait_within 60 "$3" || fail "$1: no \"$3\" in stdout.txt"
        sleep 1
        xdotool windowfocus "$(xdotool search --name '^SDL_app$' | head -n 1)" 2>/dev/null || true
        xdotool key Escape
    fi
    end_game "the game did not end ($1)"
    unix_lines "$OUT" >"$WORK/windows-$1.txt"
    [ "$STATUS" -eq "$LINUX_STATUS" ] || fail "$1: status $STATUS, on Linux $LINUX_STATUS"
    diff "$WORK/linux-$1.txt" "$WORK/windows-$1.txt" >"$WORK/diff.txt" ||
        fail "$1: stdout.txt differs from the Linux output: $(head -20 "$WORK/diff.txt")"
    # An empty stderr.txt is removed at exit.
    if [ -s "$WORK/linux-$1.txt.err" ]; then
        unix_lines "$GAME/stderr.txt" | cmp -s - "$WORK/linux-$1.txt.err" ||
            fail "$1: stderr.txt differs from the Linux build's standard error"
    else
        [ -e "$GAME/stderr.txt" ] && fail "$1: an empty stderr.txt was left"
    fi
    echo "$1: status $STATUS and $(grep -c '' "$WORK/linux-$1.txt") lines as on Linux, ending \"$(tail -n 1 "$WORK/linux-$1.txt")\""
}
same_failure "no-data" "" "background can't be opened; the scene runs without it"
BROKEN="$WORK/broken/data"
mkdir -p "$BROKEN/Burn/walk"
printf 'ANIMS: 1\r\nwalk\r\n' >"$BROKEN/Burn/info"
printf 'FILES: 1\n\nf.bmp 40\n0 0\n0 0 1 1\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n' >"$BROKEN/Burn/walk/info"
echo "not a bitmap" >"$BROKEN/Burn/walk/f.bmp"
same_failure "not-a-bitmap" "$BROKEN" ""

FINISHED=$(date +%s)
echo "test-windows: build and tests $((TESTED - STARTED)) s, the game under Wine $((FINISHED - TESTED)) s"
[ "$UNIT" -eq 0 ] || { echo "FAIL: the Windows build's test suite"; exit 1; }
echo "PASS: the Windows build"
