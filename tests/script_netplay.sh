#!/bin/sh
# Netplay over real UDP on 127.0.0.1: two fightscene-replay processes, the
# CPU playing each side, play 30 s of a match under four networks made by the
# joiner's --net-sim, each way (none, 50 +- 20 ms, 100 ms with 10 % loss,
# 25 % loss with reordering), all four at once on their own ports. Both sides must end with the same checksum, the
# same lines and the same final picture; with faults both must have rolled
# back, and in every run both fighters must have taken damage. The host's
# inputs file must then play back to the same checksum.
# Arguments: build folder, source folder.
. "$(dirname "$0")/netplaySetup.sh" "$1" "$2"

# The match's own lines, which both sides print once their ticks are confirmed.
results() { grep -E '^(round [0-9]|KO: |time over: |draw: |match: |guarded: )' "$1"; }
number() { sed -n "s/$2/\1/p" "$1" | head -1; }

# NAME PORT [SETTINGS]: host and joiner, the joiner's network made worse.
play() {
    NAME=$1 PORT=$2 SIM=${3:+--net-sim $3}
    for SIDE in host join; do
        printf '30000 shot %s.bmp\n30000 end\n' "$WORK/$NAME-$SIDE" >"$WORK/$NAME-$SIDE.txt"
    done
    # shellcheck disable=SC2086
    "$REPLAY" --no-marks --checksum --host "$PORT" --cpu 6 --net-replay "$WORK/$NAME-inputs.txt" \
        "$WORK/$NAME-host.txt" "$SOURCE/data" >"$WORK/$NAME-host.out" 2>&1 </dev/null &
    HOST=$!
    sleep 0.3
    # shellcheck disable=SC2086
    "$REPLAY" --no-marks --checksum --join "127.0.0.1:$PORT" --cpu 5 --seed 7 $SIM \
        "$WORK/$NAME-join.txt" "$SOURCE/data" >"$WORK/$NAME-join.out" 2>&1 </dev/null
    echo $? >"$WORK/$NAME-join.status"
    wait $HOST
    echo $? >"$WORK/$NAME-host.status"
}

check() {
    NAME=$1 FAULTS=$2
    for SIDE in host join; do
        OUT="$WORK/$NAME-$SIDE.out"
        [ "$(cat "$WORK/$NAME-$SIDE.status")" = 0 ] || fail "$NAME: the $SIDE ended with status $(cat "$WORK/$NAME-$SIDE.status"): $(tail -3 "$OUT")"
        ROLLBACKS=$(number "$OUT" '^netplay: \([0-9]*\) rollbacks.*')
        [ "$FAULTS" = no ] || [ "${ROLLBACKS:-0}" -gt 0 ] || fail "$NAME: the $SIDE never rolled back"
        P1=$(number "$OUT" '^netplay: damage taken: P1 \([0-9]*\), P2 [0-9]*$')
        P2=$(number "$OUT" '^netplay: damage taken: P1 [0-9]*, P2 \([0-9]*\)$')
        [ "${P1:-0}" -gt 0 ] && [ "${P2:-0}" -gt 0 ] || fail "$NAME: the $SIDE's fighters took ${P1:-no} and ${P2:-no} damage"
        RATE=$(number "$OUT" '^netplay: sent [0-9]* bytes in [0-9]* s, \([0-9]*\) bytes.s$')
        [ "${RATE:-99999}" -le 8192 ] || fail "$NAME: the $SIDE sent ${RATE:-no} bytes/s, at most 8192 wanted"
        grep -E '^netplay: ([0-9]* rollbacks|sent )' "$OUT" | sed "s/^/$NAME $SIDE: /"
    done
    HOSTSUM=$(grep '^checksum ' "$WORK/$NAME-host.out")
    JOINSUM=$(grep '^checksum ' "$WORK/$NAME-join.out")
    echo "$NAME: host $HOSTSUM, joiner $JOINSUM"
    [ -n "$HOSTSUM" ] && [ "$HOSTSUM" = "$JOINSUM" ] || fail "$NAME: the checksums differ"
    results "$WORK/$NAME-host.out" >"$WORK/$NAME-host.lines"
    results "$WORK/$NAME-join.out" >"$WORK/$NAME-join.lines"
    [ -s "$WORK/$NAME-host.lines" ] || fail "$NAME: the match printed no lines"
    cmp -s "$WORK/$NAME-host.lines" "$WORK/$NAME-join.lines" ||
        fail "$NAME: the lines differ: $(diff "$WORK/$NAME-host.lines" "$WORK/$NAME-join.lines" | head -5)"
    cmp -s "$WORK/$NAME-host.bmp" "$WORK/$NAME-join.bmp" || fail "$NAME: the final pictures differ"
}

play clean 7801 &
play delay 7802 delay=50,jitter=20 &
play lossy 7803 delay=100,loss=10 &
play reorder 7804 loss=25,jitter=30 &
wait
check clean no
check delay yes
check lossy yes
check reorder yes

# The confirmed inputs the host kept play back alone to the match's checksum.
"$REPLAY" --inputs "$WORK/clean-inputs.txt" "$SOURCE/data" >"$WORK/playback.out" 2>&1 </dev/null ||
    fail "the inputs file didn't play: $(tail -3 "$WORK/playback.out")"
[ "$(grep '^checksum ' "$WORK/playback.out")" = "$(grep '^checksum ' "$WORK/clean-host.out")" ] ||
    fail "the inputs file plays to $(grep '^checksum ' "$WORK/playback.out"), not the match's checksum"
[ "$FAILED" = 0 ] && echo "netplay over UDP: all four networks ended alike on both sides"
exit $FAILED
