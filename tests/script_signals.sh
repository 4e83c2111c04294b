#!/bin/sh
# A termination signal ends the game as Escape does: status 0, after start-up
# and drawing. Runs headless on SDL's dummy drivers.
# Arguments: build folder, source folder.
BUILD="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
for SIGNAL in TERM INT; do
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$BUILD/fightscene" >"$WORK/out.txt" 2>&1 &
    PID=$!
    for i in $(seq 1 100); do grep -q "Right is also 275" "$WORK/out.txt" && break; sleep 0.1; done
    sleep 0.5
    kill -0 $PID 2>/dev/null || { echo "FAIL: the game stopped by itself"; tail "$WORK/out.txt"; exit 1; }
    kill -$SIGNAL $PID
    for i in $(seq 1 50); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
    if kill -0 $PID 2>/dev/null; then
        kill -9 $PID
        echo "FAIL: SIG$SIGNAL did not end the game"
        exit 1
    fi
    wait $PID
    STATUS=$?
    [ "$STATUS" -eq 0 ] || { echo "FAIL: exit status $STATUS after SIG$SIGNAL"; tail "$WORK/out.txt"; exit 1; }
    echo "SIG$SIGNAL: exit status 0"
done
echo "PASS"
