#!/bin/sh
# The CPU's ladder, CPU against CPU with fightscene-replay, 200 rounds a pair:
# level 8 wins at least 80 % of its rounds against level 1, and every level
# more than half of its rounds against the level two below it.
# Arguments: build folder, source folder.
BUILD="$(cd "$1" && pwd)"
SOURCE="$(cd "$2" && pwd)"
REPLAY="$BUILD/tools/fightscene-replay"
[ -f "$REPLAY" ] || { echo "FAIL: build fightscene-replay first"; exit 1; }
ROUNDS=200
FAILED=0
# Each line: the stronger level, the weaker, the least rounds the stronger must win.
while read -r STRONG WEAK LEAST; do
    LINE=$(SDL_VIDEODRIVER=dummy "$REPLAY" --versus --cpu "$STRONG" --cpu2 "$WEAK" --rounds "$ROUNDS" "$SOURCE/data" </dev/null)
    echo "$LINE"
    WON=$(echo "$LINE" | sed -n "s/^cpu $STRONG against cpu $WEAK: $STRONG won \([0-9]*\), $WEAK won [0-9]*, drew [0-9]* of $ROUNDS rounds\$/\1/p")
    if [ -z "$WON" ] || [ "$WON" -lt "$LEAST" ]; then
        echo "FAIL: level $STRONG against level $WEAK won ${WON:-no} rounds, at least $LEAST wanted"
        FAILED=1
    fi
done <<LADDER
8 1 160
3 1 101
4 2 101
5 3 101
6 4 101
7 5 101
8 6 101
LADDER
exit $FAILED
