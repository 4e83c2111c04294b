#!/bin/sh
# Netplay's other half: both sides in one process over the simulated network
# under the four networks of script_netplay.sh; a planted desync found; a
# player leaving and a side going silent told to the other side within 3 s;
# two data folders that differ refused by both; and the game itself hosting.
# Arguments: build folder, source folder.
. "$(dirname "$0")/netplaySetup.sh" "$1" "$2"
now() { date +%s%3N; }
printf '30000 end\n' >"$WORK/30s.txt"

# Both sides here: the tool itself fails (status 5) when they end apart.
while read -r NAME SIM; do
    OUT="$WORK/pair-$NAME.out"
    "$REPLAY" --no-marks --checksum --netplay-pair --cpu 6 --cpu2 5 ${SIM:+--net-sim "$SIM"} \
        "$WORK/30s.txt" "$SOURCE/data" >"$OUT" 2>&1 </dev/null || fail "pair $NAME: status $?: $(tail -3 "$OUT")"
    SUMS=$(sed -n 's/^checksum\( of P2\)* \([0-9a-f]*\) at tick 3000$/\2/p' "$OUT" | sort -u | wc -l)
    [ "$SUMS" = 1 ] || fail "pair $NAME: the sides' checksums differ or are missing"
    grep -q '^netplay: damage taken: P1 [1-9][0-9]*, P2 [1-9]' "$OUT" || fail "pair $NAME: a fighter took no damage"
    if [ -n "$SIM" ] && grep -q '^netplay: 0 rollbacks' "$OUT"; then fail "pair $NAME: a side never rolled back"; fi
    echo "pair $NAME: $(grep -c '^netplay: [0-9]* rollbacks' "$OUT") sides, $(grep '^checksum ' "$OUT")"
done <<NETWORKS
clean
delay delay=50,jitter=20
lossy delay=100,loss=10
reorder loss=25,jitter=30
NETWORKS

# A state gone wrong on one side is found within the next check, and both sides say so.
OUT="$WORK/desync.out"
"$REPLAY" --no-marks --netplay-pair --cpu 6 --cpu2 5 --plant-desync 500 "$WORK/30s.txt" "$SOURCE/data" >"$OUT" 2>&1 </dev/null
STATUS=$?
[ "$STATUS" = 1 ] || fail "desync: status $STATUS, 1 wanted"
[ "$(grep -c '^netplay: desync at tick 500$' "$OUT")" = 2 ] || fail "desync: not reported by both sides at tick 500: $(grep desync "$OUT")"
[ -s "$XDG_CONFIG_HOME/fightscene/desync-tick-500-p2.state" ] || fail "desync: no state file for tick 500"

# NAME PORT HOST_SCRIPT: a host in the background ($HOST), then a joiner that plays 30 s.
start() {
    "$REPLAY" --no-marks --host "$2" --cpu 6 "$3" "$SOURCE/data" >"$WORK/$1-host.out" 2>&1 </dev/null &
    HOST=$!
    sleep 0.3
}
join() {
    "$REPLAY" --no-marks --join "127.0.0.1:$2" --cpu 5 "$WORK/30s.txt" "$SOURCE/data" >"$WORK/$1-join.out" 2>&1 </dev/null
}

# Escape 3 s into the match: the other side ends with status 0 within 3 s.
printf '3000 tap escape\n30000 end\n' >"$WORK/leave.txt"
start leave 7811 "$WORK/leave.txt"
# (The host is not this subshell's child: it is watched, not waited for.)
(while kill -0 $HOST 2>/dev/null; do sleep 0.05; done; now >"$WORK/leave-host.time") &
join leave 7811
STATUS=$?
LEFT=$(now)
wait
[ "$STATUS" = 0 ] || fail "leaving: the joiner's status is $STATUS, 0 wanted"
grep -q '^netplay: the other side left$' "$WORK/leave-join.out" || fail "leaving: the joiner didn't say the other side left"
[ $((LEFT - $(cat "$WORK/leave-host.time"))) -lt 3000 ] || fail "leaving: told after $((LEFT - $(cat "$WORK/leave-host.time"))) ms"

# A side killed mid-match: the other says the connection is lost, status 1, 3 s after its last packet.
start lost 7812 "$WORK/30s.txt"
(sleep 4; kill -9 $HOST; now >"$WORK/lost-kill.time") &
join lost 7812
STATUS=$?
LOST=$(now)
wait
[ "$STATUS" = 1 ] || fail "lost: the joiner's status is $STATUS, 1 wanted"
grep -q '^netplay: connection lost$' "$WORK/lost-join.out" || fail "lost: no 'connection lost'"
SINCE=$((LOST - $(cat "$WORK/lost-kill.time")))
# (Up to 3 s more for a loaded machine, whose replay clock may lag the real one.)
[ "$SINCE" -ge 2900 ] && [ "$SINCE" -lt 6000 ] || fail "lost: told $SINCE ms after the kill"

# One file changed: both sides name it and end with status 1.
mkdir "$WORK/other" && cp -R "$SOURCE/data" "$WORK/other/data" && echo "# changed" >>"$WORK/other/data/Gale/stats"
"$REPLAY" --no-marks --host 7813 "$WORK/30s.txt" "$SOURCE/data" >"$WORK/differ-host.out" 2>&1 </dev/null &
HOST=$!
sleep 0.3
"$REPLAY" --no-marks --join 127.0.0.1:7813 "$WORK/30s.txt" "$WORK/other/data" >"$WORK/differ-join.out" 2>&1 </dev/null
STATUS=$?
wait $HOST
HOSTSTATUS=$?
[ "$STATUS" = 1 ] && [ "$HOSTSTATUS" = 1 ] || fail "different data: statuses $HOSTSTATUS and $STATUS, 1 wanted"
for SIDE in host join; do
    grep -q "^netplay: the other side's data differs (Gale/stats)$" "$WORK/differ-$SIDE.out" ||
        fail "different data: the $SIDE didn't name Gale/stats: $(grep netplay "$WORK/differ-$SIDE.out")"
done

# The game hosts; a replay joins for 5 s and leaves; the game ends with status 0 and keeps the inputs.
printf '5000 end\n' >"$WORK/5s.txt"
(cd "$WORK" && "$BUILD/fightscene" --window --host 7814 >"$WORK/game.out" 2>&1 </dev/null) &
GAME_PID=$!
sleep 0.5
"$REPLAY" --no-marks --join 127.0.0.1:7814 --cpu 5 "$WORK/5s.txt" "$SOURCE/data" >"$WORK/game-join.out" 2>&1 </dev/null ||
    fail "the game's joiner: status $?: $(tail -3 "$WORK/game-join.out")"
wait $GAME_PID
STATUS=$?
GAME_PID=""
[ "$STATUS" = 0 ] || fail "the hosting game: status $STATUS: $(tail -3 "$WORK/game.out")"
grep -q '^netplay: the other side left$' "$WORK/game.out" || fail "the hosting game didn't say the other side left"
grep -q '^netplay: [0-9]* rollbacks' "$WORK/game.out" || fail "the hosting game gave no numbers"
[ -s "$XDG_CONFIG_HOME/fightscene/netplay-inputs-p1.txt" ] || fail "the hosting game kept no inputs file"
[ "$FAILED" = 0 ] && echo "netplay's ends: pairs alike, desync found, leaving and silence told, data compared, the game hosts"
exit $FAILED
