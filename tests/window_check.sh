#!/bin/sh
# On a real X display (Xvfb), on SDL 1.2.15 and on sdl12-compat: after every
# pass of a replay the window shows exactly the game's screen surface; a
# rectangle left out of the update on purpose is caught; and a held arrow
# walks the fighter as far in a second on both libraries, within 5 %.
# Arguments: fightscene-windowcheck, source folder, the sdl12-compat folder.
CHECK="$1"
SOURCE="$2"
COMPAT="$3"
WORK="$(mktemp -d)"
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

sh "$SOURCE/tests/sdl12compat.sh" "$COMPAT" "$CHECK" true || exit 1
. "$SOURCE/tests/xserver.sh"
start_xserver 800x600x24
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
SCRIPT="$SOURCE/tests/displayCheck.txt"

# compare NAME LIBRARY_PATH [more options]: the replay checked pass by pass.
compare() {
    name="$1"
    path="$2"
    shift 2
    LD_LIBRARY_PATH="$path" "$CHECK" compare "$SCRIPT" "$SOURCE/data" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err"
    status=$?
    echo "$name: $(tail -2 "$WORK/$name.err" | tr '\n' ' ')"
    return $status
}
compare classic "" || fail "on SDL 1.2.15 the window did not show what was drawn"
compare compat "$COMPAT" || fail "on sdl12-compat the window did not show what was drawn"
grep -q "^Have Move - flyingKick" "$WORK/classic.out" || fail "the replay did not reach its last move"
grep -q "^reloaded data" "$WORK/classic.out" || fail "the replay did not reload"

# The fighter's writes left unnoted from pass 76 on, while he walks: the
# window must be seen stale within two passes.
for lib in classic compat; do
    path=""
    [ "$lib" = compat ] && path="$COMPAT"
    compare "dropped-$lib" "$path" --drop-fighter-at 75 && fail "a dropped rectangle went unseen on $lib"
    [ $? -eq 1 ] || fail "the check with a dropped rectangle failed otherwise on $lib"
    grep -Eq "^pass 7[67]: [0-9]+ pixels of the window differ" "$WORK/dropped-$lib.err" ||
        fail "a dropped rectangle was not caught where it was dropped on $lib"
done

# A held Right for one second, three times on each library in turn; the
# best of each (load only ever slows a run) within 5 % of the other.
for round in 1 2 3; do
    for lib in classic compat; do
        path=""
        [ "$lib" = compat ] && path="$COMPAT"
        LD_LIBRARY_PATH="$path" "$CHECK" walk 1000 "$SOURCE/data" >/dev/null 2>"$WORK/walk.err" ||
            fail "the walk on $lib failed: $(cat "$WORK/walk.err")"
        echo "$lib: $(cat "$WORK/walk.err")"
        awk '{ print $2 }' "$WORK/walk.err" >>"$WORK/walk-$lib.txt"
    done
done
CLASSIC=$(sort -n "$WORK/walk-classic.txt" | tail -1)
COMPATX=$(sort -n "$WORK/walk-compat.txt" | tail -1)
echo "walked in one second: $CLASSIC px on SDL 1.2.15, $COMPATX px on sdl12-compat"
awk -v a="$CLASSIC" -v b="$COMPATX" 'BEGIN { exit !(a > 0 && b >= 0.95 * a && b <= 1.05 * a) }' ||
    fail "a held arrow walks $COMPATX px a second on sdl12-compat against $CLASSIC px on SDL 1.2.15"
echo "PASS"
