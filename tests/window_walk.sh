#!/bin/sh
# On a real X display (Xvfb): a held arrow walks the fighter as far in one
# second on sdl12-compat as on SDL 1.2.15, within 5 %. Movement steps come
# with the passes, so a slow pass walks him more slowly. The times are the
# real clock's: run it alone on the machine (CTest runs it serially).
# Arguments: fightscene-windowcheck, source folder, the sdl12-compat folder.
. "$2/tests/windowLibraries.sh"

# A held Right for one second, three times on each library in turn; the
# best of each (load only ever slows a run) within 5 % of the other.
for round in 1 2 3; do
    for lib in classic compat; do
        LD_LIBRARY_PATH="$(library_path $lib)" "$CHECK" walk 1000 "$SOURCE/data" >/dev/null 2>"$WORK/walk.err" ||
            fail "the walk on $lib failed: $(cat "$WORK/walk.err")"
        grep "^walked" "$WORK/walk.err" >"$WORK/walked.txt"
        echo "$lib: $(cat "$WORK/walked.txt")"
        awk '{ print $2 }' "$WORK/walked.txt" >>"$WORK/walk-$lib.txt"
    done
done
CLASSIC=$(sort -n "$WORK/walk-classic.txt" | tail -1)
COMPATX=$(sort -n "$WORK/walk-compat.txt" | tail -1)
echo "walked in one second: $CLASSIC px on SDL 1.2.15, $COMPATX px on sdl12-compat"
awk -v a="$CLASSIC" -v b="$COMPATX" 'BEGIN { exit !(a > 0 && b >= 0.95 * a && b <= 1.05 * a) }' ||
    fail "a held arrow walks $COMPATX px a second on sdl12-compat against $CLASSIC px on SDL 1.2.15"
echo "PASS"
