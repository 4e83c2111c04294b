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
