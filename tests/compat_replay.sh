#!/bin/sh
# The same replay on SDL 1.2.15 and on sdl12-compat prints the same lines
# and takes the same screenshots, byte for byte.
# Arguments: build folder, source folder, the sdl12-compat folder.
BUILD="$1"
SOURCE="$2"
COMPAT="$3"
. "$SOURCE/tests/scratch.sh"
fail() { echo "FAIL: $*"; exit 1; }

replay_on() {
    mkdir "$WORK/$1"
    (cd "$WORK/$1" && LD_LIBRARY_PATH="$2" "$BUILD/tools/fightscene-replay" \
        "$SOURCE/docs/examples/flameThrow.txt" "$SOURCE/data" >out.txt 2>err.txt) ||
        fail "the replay on $1 ended with status $?: $(tail -3 "$WORK/$1/err.txt")"
}
replay_on classic ""
sh "$SOURCE/tests/sdl12compat.sh" "$COMPAT" "$BUILD/tools/fightscene-replay" true || exit 1
replay_on compat "$COMPAT"

grep -q "^Have Move - flameThrow!" "$WORK/classic/out.txt" || fail "the replay did not throw the fireball"
diff "$WORK/classic/out.txt" "$WORK/compat/out.txt" >"$WORK/diff.txt" ||
    fail "the output differs:$(echo; head -20 "$WORK/diff.txt")"
for shot in throw.bmp flight.bmp; do
    [ -s "$WORK/classic/$shot" ] || fail "no $shot on SDL 1.2.15"
    cmp "$WORK/classic/$shot" "$WORK/compat/$shot" || fail "$shot differs"
done
echo "PASS"
