#!/bin/sh
# The authoring tools as an author runs them: a frame sheet of the bundled
# walk cycle, a replay that finds the data beside the build, and the usage
# and status of bad calls. Arguments: build folder, source folder.
BUILD="$1"
SOURCE="$2"
SHEET="$BUILD/tools/fightscene-sheet"
REPLAY="$BUILD/tools/fightscene-replay"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; tail -20 "$WORK/out.txt"; exit 1; }
[ -x "$SHEET" ] && [ -x "$REPLAY" ] || fail "build fightscene-sheet and fightscene-replay first"

# The walk cycle: nine frames of 160x160 in three rows of three.
"$SHEET" "$SOURCE/data/Burn/walk" "$WORK/walk.bmp" >"$WORK/out.txt" 2>&1 || fail "sheet status $?"
grep -q "wrote $WORK/walk.bmp: 9 frames" "$WORK/out.txt" || fail "no summary line"
[ "$(head -c 2 "$WORK/walk.bmp")" = "BM" ] || fail "the sheet is not a bitmap"
"$SHEET" --columns 9 "$SOURCE/data/Burn/walk" "$WORK/row.bmp" >"$WORK/out.txt" 2>&1 || fail "sheet --columns"
[ "$(wc -c <"$WORK/row.bmp")" -gt 0 ] || fail "no sheet with --columns"

# A folder without frames: the loader's own message, status 1, no picture.
mkdir "$WORK/empty"
"$SHEET" "$WORK/empty" "$WORK/none.bmp" >"$WORK/out.txt" 2>&1
[ $? -eq 1 ] || fail "status for a folder without info"
grep -q "^ERROR opening file $WORK/empty/info" "$WORK/out.txt" || fail "no ERROR opening file line"
[ ! -e "$WORK/none.bmp" ] || fail "a sheet was written for a folder without frames"

# A frame whose bitmap is broken is named by its info line and left out;
# the other frames are still drawn.
mkdir "$WORK/broken"
cp "$SOURCE/data/Burn/flameThrow/"* "$WORK/broken/"
echo "not a bitmap" >"$WORK/broken/frame01.bmp"
"$SHEET" "$WORK/broken" "$WORK/broken.bmp" >"$WORK/out.txt" 2>&1 || fail "sheet status $? with a broken frame"
grep -q "^$WORK/broken/info:[0-9]*: bitmap frame01.bmp: " "$WORK/out.txt" || fail "broken frame not named"
grep -q "wrote $WORK/broken.bmp: 4 frames" "$WORK/out.txt" || fail "the other four frames not drawn"

# Bad calls print the usage and give status 2.
"$SHEET" only-one >"$WORK/out.txt" 2>&1
[ $? -eq 2 ] || fail "sheet status for one argument"
grep -q "^usage: fightscene-sheet" "$WORK/out.txt" || fail "no sheet usage"
"$REPLAY" --step 0 x.txt >"$WORK/out.txt" 2>&1
[ $? -eq 2 ] || fail "replay status for step 0"
"$REPLAY" --training --record-file "" x.txt >"$WORK/out.txt" 2>&1
[ $? -eq 2 ] || fail "replay status for an empty --record-file"
grep -q "^usage: fightscene-replay" "$WORK/out.txt" || fail "no replay usage for an empty --record-file"

# A replay started from elsewhere, without a data folder: the build's link is used.
printf '300 tap j\n320 shot boxes.bmp\n400 end\n' >"$WORK/s.txt"
cd "$WORK" && "$REPLAY" s.txt >"$WORK/out.txt" 2>&1 || fail "replay status $?"
grep -q "^replay 300: tap j" "$WORK/out.txt" || fail "no mark of the tap"
grep -q "^holy diver: walk" "$WORK/out.txt" || fail "the bundled data was not read"
[ "$(head -c 2 "$WORK/boxes.bmp")" = "BM" ] || fail "no screenshot"
"$REPLAY" --no-marks s.txt >"$WORK/quiet.txt" 2>&1 || fail "replay --no-marks"
grep -q "^replay " "$WORK/quiet.txt" && fail "marks printed with --no-marks"
# The content guide's example replay does what the guide says.
cd "$WORK" && "$REPLAY" "$SOURCE/docs/examples/flameThrow.txt" "$SOURCE/data" >"$WORK/out.txt" 2>&1 ||
    fail "example replay status $?"
grep -q "^Have Move - flameThrow!" "$WORK/out.txt" || fail "the guide's example throws no fireball"
[ "$(head -c 2 "$WORK/flight.bmp")" = "BM" ] || fail "the guide's example took no shot"
# The picture that opens the README is that shot of the bundled data.
DIFFERENT=$(compare -metric AE "$WORK/flight.bmp" "$SOURCE/docs/replay-flight.png" null: 2>&1)
[ "$DIFFERENT" = 0 ] ||
    fail "docs/replay-flight.png is not the example replay's shot ($DIFFERENT pixels differ): remake it as README.md says"
echo "PASS"
