#!/bin/sh
# The default scene (no option) against the runs recorded in tests/reference:
# each replay script there, at the pass lengths listed below, must print
# exactly the recorded lines (standard output and error) and take shots of
# exactly the recorded bytes: NAME.sha256 holds the SHA-256 of out.txt,
# err.txt and each shot. A difference names the run and the file and keeps
# what the run gave in BUILD/tests/reference-differs/NAME; to see which
# lines changed, run the script with a build of the last good commit and
# compare.
# Arguments: build folder, source folder.
# Re-record, only for a deliberate change: sh tests/script_referenceRuns.sh build . --record
BUILD="$(cd "$1" && pwd)"
SOURCE="$(cd "$2" && pwd)"
RECORD="${3:-}"
REPLAY="$BUILD/tools/fightscene-replay"
CORPUS="$SOURCE/tests/reference"
KEPT="$BUILD/tests/reference-differs"
. "$SOURCE/tests/scratch.sh"
[ -x "$REPLAY" ] || { echo "FAIL: build fightscene-replay first"; exit 1; }
rm -rf "$KEPT"
# The default keys, whoever runs it: no settings folder, so no key file of the user's.
export XDG_CONFIG_HOME="$WORK/no-settings"

FAILED=0
differs() {
    echo "FAIL: $NAME ($SCRIPT.txt at --step $STEP): $*"
    FAILED=1
    KEEP=1
}

# Each run: its name, its script and the pass length in ms.
while read -r NAME SCRIPT STEP; do
    RUN="$WORK/$NAME"
    mkdir "$RUN"
    # A copy of the data, which the reload script changes; no key file beside it.
    cp -R "$SOURCE/data" "$RUN/data"
    (cd "$RUN" && "$REPLAY" --step "$STEP" "$CORPUS/$SCRIPT.txt" data >out.txt 2>err.txt </dev/null)
    STATUS=$?
    SHOTS=$(cd "$RUN" && ls ./*.bmp 2>/dev/null | sed 's|^\./||')
    EXPECTED="$CORPUS/$NAME"
    if [ "$RECORD" = "--record" ]; then
        [ "$STATUS" -eq 0 ] || { echo "FAIL: $NAME ended with status $STATUS; nothing recorded"; exit 1; }
        (cd "$RUN" && sha256sum out.txt err.txt $SHOTS) >"$EXPECTED.sha256"
        echo "recorded $NAME: $(wc -l <"$RUN/out.txt") lines, $(echo $SHOTS | wc -w) shots"
        continue
    fi
    KEEP=0
    [ -f "$EXPECTED.sha256" ] || { differs "nothing recorded for it (--record)"; continue; }
    [ "$STATUS" -eq 0 ] || differs "status $STATUS: $(tail -3 "$RUN/err.txt")"
    while read -r HASH FILE; do
        if [ ! -f "$RUN/$FILE" ]; then
            differs "no shot $FILE"
        elif [ "$(sha256sum <"$RUN/$FILE" | cut -d' ' -f1)" != "$HASH" ]; then
            case "$FILE" in
            *.txt) differs "the printed lines ($FILE, $(wc -l <"$RUN/$FILE") lines) differ from the recorded ones" ;;
            *) differs "shot $FILE differs from the recorded one" ;;
            esac
        fi
    done <"$EXPECTED.sha256"
    [ "$(echo out.txt err.txt $SHOTS | wc -w)" -eq "$(wc -l <"$EXPECTED.sha256")" ] || differs "shots taken: $(echo $SHOTS)"
    if [ "$KEEP" -eq 1 ]; then
        mkdir -p "$KEPT/$NAME"
        (cd "$RUN" && cp out.txt err.txt $SHOTS "$KEPT/$NAME/")
        echo "  what the run gave is in $KEPT/$NAME"
    fi
done <<EOF
walk walk 10
jumps jumps 10
moves moves 10
particles particles 10
boxes boxes 10
inputDisplay inputDisplay 10
reload reload 10
paces-5 paces 5
paces-10 paces 10
paces-16 paces 16
paces-33 paces 33
EOF
[ "$FAILED" -eq 0 ] || exit 1
[ "$RECORD" = "--record" ] || echo "PASS"
