#!/bin/sh
# On a real X display (Xvfb), on SDL 1.2.15 and on sdl12-compat: after every
# pass of a replay the window shows exactly the game's screen surface, and
# a rectangle left out of the update on purpose is caught; in full screen on
# larger desktops, the screen surface in the middle with black around it.
# Arguments: fightscene-windowcheck, source folder, the sdl12-compat folder.
. "$2/tests/windowLibraries.sh"
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
    compare "dropped-$lib" "$(library_path $lib)" --drop-fighter-at 75 && fail "a dropped rectangle went unseen on $lib"
    [ $? -eq 1 ] || fail "the check with a dropped rectangle failed otherwise on $lib"
    grep -Eq "^pass 7[67]: [0-9]+ pixels of the window differ" "$WORK/dropped-$lib.err" ||
        fail "a dropped rectangle was not caught where it was dropped on $lib"
done

# Full screen on desktops larger than the game: the scene unscaled in the
# middle, black around it, pass by pass through a walk, a jump and a fireball.
SCRIPT="$SOURCE/tests/fullScreenCheck.txt"
for size in 1024x768 1920x1080; do
    kill "$XVFB_PID" && wait "$XVFB_PID"
    start_xserver "${size}x24"
    for lib in classic compat; do
        compare "$lib-$size" "$(library_path $lib)" ||
            fail "full screen at $size on $lib did not show the scene in the middle of the screen"
    done
done

echo "PASS"
