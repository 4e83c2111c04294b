#!/bin/sh
# The training and versus runs in tests/training, each stepped with every tick rolled
# back and stepped again from 1, 4 and 12 ticks before (fightscene-replay
# --sync-test), a versus run as a netplay pair over a lossy simulated
# network (its rollbacks its own), and the checksum of each run's final state against the one
# recorded in NAME.checksum, which every build must give alike: gcc, clang
# with the sanitizers, and the 32-bit Windows build under Wine (WINE=wine,
# as scripts/test-windows.sh runs it).
# Arguments: build folder, source folder.
# Re-record, only for a deliberate change of the rules: sh tests/script_matchSync.sh build . --record
BUILD="$(cd "$1" && pwd)"
SOURCE="$(cd "$2" && pwd)"
RECORD="${3:-}"
CORPUS="$SOURCE/tests/training"
. "$SOURCE/tests/scratch.sh"
REPLAY="$BUILD/tools/fightscene-replay"
[ -n "$WINE" ] && REPLAY="$REPLAY.exe"
[ -f "$REPLAY" ] || { echo "FAIL: build fightscene-replay first"; exit 1; }
export XDG_CONFIG_HOME="$WORK/no-settings"
DEPTHS="1 4 12"
[ -n "$WINE" ] && DEPTHS="4"

FAILED=0
while read -r NAME SCRIPT STEP MODE; do
    # A netplay pair plays on its own simulated network: no sync test, one run.
    RUNDEPTHS=$DEPTHS
    case "$MODE" in *--netplay-pair*) RUNDEPTHS=0 ;; esac
    for DEPTH in $RUNDEPTHS; do
        RUN="$WORK/$NAME-$DEPTH"
        mkdir "$RUN"
        # training keeps its recording in the run's folder
        [ "$MODE" = "--training" ] && MODE="--training --record-file $RUN/recording.txt"
        SYNC="--sync-test $DEPTH"
        [ "$DEPTH" = 0 ] && SYNC=""
        (cd "$RUN" && $WINE "$REPLAY" $MODE --no-marks --step "$STEP" $SYNC --checksum \
            "$CORPUS/$SCRIPT.txt" "$SOURCE/data" >out.txt 2>err.txt </dev/null)
        STATUS=$?
        SUM=$(tr -d '\r' <"$RUN/out.txt" | sed -n 's/^checksum \([0-9a-f]\{16\} at tick\)/\1/p')
        if [ "$STATUS" -ne 0 ] || [ -z "$SUM" ]; then
            echo "FAIL: $NAME, sync test at $DEPTH: status $STATUS: $(tr -d '\r' <"$RUN/err.txt" | tail -3)"
            FAILED=1
            continue
        fi
        if [ "$RECORD" = "--record" ]; then
            echo "$SUM" >"$CORPUS/$NAME.checksum"
            echo "recorded $NAME: $SUM"
            break
        fi
        WANT=$(cat "$CORPUS/$NAME.checksum" 2>/dev/null)
        [ "$SUM" = "$WANT" ] || {
            echo "FAIL: $NAME: checksum $SUM, recorded $WANT"
            FAILED=1
        }
    done
done <<RUNS
fight fight 10 --training
fight-16 fight 16 --training
fight-33 fight 33 --training
tools tools 10 --training
reload reload 10 --training
versus versus 10 --cpu 6 --round-time 20
versus-16 versus 16 --cpu 6 --round-time 20
netplay versus 10 --netplay-pair --cpu 6 --round-time 20 --net-sim delay=40,jitter=30,loss=20,seed=5
RUNS
[ "$FAILED" -eq 0 ] || exit 1
[ "$RECORD" = "--record" ] || echo "PASS"
