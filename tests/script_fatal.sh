#!/bin/sh
# The fatal failures end the game with status 1 after their message, and the
# game finds its data beside its executable wherever it is started from.
# Arguments: build folder, source folder.
BUILD="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; tail -20 "$WORK/out.txt"; exit 1; }

# SDL can't start: no such video driver.
SDL_VIDEODRIVER=nosuchdriver SDL_AUDIODRIVER=dummy "$BUILD/fightscene" >"$WORK/out.txt" 2>&1
STATUS=$?
[ "$STATUS" -eq 1 ] || fail "status $STATUS when SDL can't start"
grep -q "^Unable to init SDL: " "$WORK/out.txt" || fail "no 'Unable to init SDL' message"

# No audio device: the warning, then the game runs silently, without
# blaming the sound files.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=nosuchaudio "$BUILD/fightscene" >"$WORK/out.txt" 2>&1 &
PID=$!
for i in $(seq 1 100); do grep -q "Right is also 275" "$WORK/out.txt" && break; sleep 0.1; done
sleep 0.5
kill -TERM $PID
wait $PID
STATUS=$?
[ "$STATUS" -eq 0 ] || fail "status $STATUS without an audio device"
grep -q "^Warning: Couldn't set 44100 Hz 16-bit audio$" "$WORK/out.txt" || fail "no audio warning"
grep -q "^- Reason: " "$WORK/out.txt" || fail "no reason line after the audio warning"
grep -q "can't be loaded" "$WORK/out.txt" && fail "sound files blamed for the missing audio device"

# A frame-set file that is not a bitmap: a game folder of its own whose
# character has one animation with a broken frame.
GAME="$WORK/game"
mkdir -p "$GAME/data/Burn/walk"
cp "$BUILD/fightscene" "$GAME/"
printf 'ANIMS: 1\r\nwalk\r\n' >"$GAME/data/Burn/info"
printf 'FILES: 1\n\nf.bmp 40\n0 0\n0 0 1 1\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n' >"$GAME/data/Burn/walk/info"
echo "not a bitmap" >"$GAME/data/Burn/walk/f.bmp"
cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$GAME/fightscene" >"$WORK/out.txt" 2>&1
STATUS=$?
[ "$STATUS" -eq 1 ] || fail "status $STATUS for a frame that is not a bitmap"
grep -q "^Unable to load bitmap: " "$WORK/out.txt" || fail "no 'Unable to load bitmap' message"
grep -q "^holy diver: walk" "$WORK/out.txt" || fail "the game did not read data beside its executable"

# A bitmap named in info that is missing.
rm "$GAME/data/Burn/walk/f.bmp"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$GAME/fightscene" >"$WORK/out.txt" 2>&1
STATUS=$?
[ "$STATUS" -eq 1 ] || fail "status $STATUS for a missing bitmap"
grep -q "^Error opening resource file: " "$WORK/out.txt" || fail "no 'Error opening resource file' message"
echo "PASS"
