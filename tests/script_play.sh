#!/bin/sh
# Plays the bundled game in a real X window under Xvfb as a person would,
# with xdotool key presses and releases: waits for the landing, walks right
# and left, ducks, jumps twice, performs every move of data/Burn/moveset
# (the fireball among them), toggles the debug boxes on and off, and quits
# with Escape. Each step is judged by the game's output lines; screenshots
# show the fighter on the floor, the fireball beside it and the debug boxes;
# the disk audio driver's file must hold sound from the moves.
# Waits go by output lines and by polling the screen, not by fixed sleeps,
# so a loaded machine makes the run slower, not wrong.
# Arguments: build folder, source folder. SCREENSHOT_DIR keeps the pictures.
BUILD="$1"
SOURCE="${2:-$(cd "$(dirname "$0")/.." && pwd)}"
. "$SOURCE/tests/scratch.sh"

OUT="$WORK/out.txt"
AUDIO="$WORK/audio.raw"
MOVESET="$BUILD/data/Burn/moveset"
BACKGROUND="$BUILD/data/tBG2.bmp"
# The screen, the floor line of the fighter's anchor and the debug colours,
# as the engine's scene header has them; the fighter's start x.
scene() { sed -n "s/^const [A-Za-z0-9]* $1 = \(0x[0-9a-f]*\|[0-9]*\);.*/\1/p" "$SOURCE/src/sprites/sceneGeometry.h"; }
rgb() { v=$(($(scene "$1"))); echo "rgb($((v >> 16 & 255)),$((v >> 8 & 255)),$((v & 255)))"; }
WIDTH=$(scene kScreenWidth)
HEIGHT=$(scene kScreenHeight)
FLOOR=$(scene kGroundLevel)
BOX_COLOUR=$(rgb kCollisionBoxColour)
MARK_COLOUR=$(rgb kAnchorMarkColour)
START_X=150

fail() {
    echo "FAIL: $*"
    echo "--- game output since the step began ---"
    tail -n +"$((MARK + 1))" "$OUT" 2>/dev/null | tail -40
    echo "--- standard error (tail) ---"
    tail -10 "$WORK/err.txt" 2>/dev/null
    if [ -n "$SCREENSHOT_DIR" ]; then cp "$WORK"/*.png "$SCREENSHOT_DIR/" 2>/dev/null; fi
    exit 1
}
note() { echo "  $*"; }

for tool in Xvfb xdotool xwd convert od awk; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
[ -x "$BUILD/fightscene" ] || fail "no game at $BUILD/fightscene"
[ -s "$MOVESET" ] || fail "no move set at $MOVESET"
[ -n "$WIDTH" ] && [ -n "$HEIGHT" ] && [ -n "$FLOOR" ] && [ "$BOX_COLOUR" != "rgb(0,0,0)" ] &&
    [ "$MARK_COLOUR" != "rgb(0,0,0)" ] || fail "the scene's constants are not in src/sprites/sceneGeometry.h"
[ -x "$BUILD/tools/fightscene-check" ] || fail "no checker at $BUILD/tools/fightscene-check"

# --- The moves of the bundled data as the game's parser reads them (the
# checker's table: move, command, where, condition): name, command, and
# whether the move needs the fighter in the air (a condition on the ground
# that is not true).
(cd "$BUILD" && tools/fightscene-check --moves data) >"$WORK/table.txt" 2>&1 ||
    fail "fightscene-check --moves: $(tail -3 "$WORK/table.txt")"
awk '$3 ~ /moveset:[0-9]+$/ { air = ($4 == "ground" && $6 != "true") ? "air" : "floor"; print $1, $2, air }' \
    "$WORK/table.txt" >"$WORK/moves.txt"
MOVE_COUNT=$(wc -l <"$WORK/moves.txt")
[ "$MOVE_COUNT" -gt 0 ] || fail "the move set lists no moves"
# The move whose frames launch the fireball.
FIREBALL_MOVE=""
while read -r name command air; do
    if grep -q "^fireball1 " "$BUILD/data/Burn/$name/info" 2>/dev/null; then FIREBALL_MOVE="$name"; fi
done <"$WORK/moves.txt"
[ -n "$FIREBALL_MOVE" ] || fail "no move launches fireball1"

# --- An X server of our own on a free display. Other test scripts start
# servers at the same time: a server that loses the race for its display
# number dies, and the next number is tried; a display is only used when its
# lock file names our own server, so keys never go to someone else's.
N=$((200 + $$ % 500))
start_x() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    for try in $(seq 1 20); do
        N=$((N + 1))
        [ -e "/tmp/.X$N-lock" ] || [ -e "/tmp/.X11-unix/X$N" ] && continue
        # -noreset: a server resets when its last client leaves (the probe
        # below), and a client that connects during the reset is refused.
        Xvfb ":$N" -noreset -screen 0 "${WIDTH}x${HEIGHT}x24" -nolisten tcp >"$WORK/xvfb.txt" 2>&1 &
        XVFB_PID=$!
        DISPLAY=":$N"
        export DISPLAY
        for i in $(seq 1 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            # The lock file names the server that holds the display.
            [ "$(cat "/tmp/.X$N-lock" 2>/dev/null | tr -d ' \n')" = "$XVFB_PID" ] &&
                xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    return 1
}
start_game() {
    : >"$OUT"
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO" SDL_DISKAUDIODELAY=46 \
        "$BUILD/fightscene" >"$OUT" 2>"$WORK/err.txt" &
    GAME_PID=$!
}
convert "$BACKGROUND" "$WORK/background.png" || fail "cannot read the background bitmap"

# --- Output lines. MARK is the line count when the current step began; the
# checks look only at the lines after it.
MARK=0
mark() { MARK=$(wc -l <"$OUT"); }
# True when the lines after the mark hold lines matching the awk patterns
# given, in that order.
seen_in_order() {
    printf '%s\n' "$@" >"$WORK/want.txt"
    tail -n +"$((MARK + 1))" "$OUT" | awk '
        NR == FNR { want[++n] = $0; next }
        k < n && $0 ~ want[k + 1] { k++ }
        END { exit !(k >= n) }' "$WORK/want.txt" -
}
# Waits until seen_in_order holds; false when the game has ended or time is
# up. wait_within gives the seconds; wait_for allows a minute.
wait_within() {
    limit=$(($1 * 10))
    shift
    i=0
    while [ "$i" -lt "$limit" ]; do
        seen_in_order "$@" && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.1
        i=$((i + 1))
    done
    seen_in_order "$@"
}
wait_for() { wait_within 60 "$@"; }
# An animation name printed by the fighter, alone on its line or right
# after a move's name (which is printed without a line end).
anim() { echo "^[A-Za-z]*$1\$"; }

# --- Keys: each press is a key-down and a key-up.
press() {
    for key in "$@"; do set -- "$@" keydown "$key" keyup "$key"; shift; done
    xdotool "$@"
}
FACING=left
letter_key() {
    case "$1" in
        A) echo z ;; B) echo x ;; C) echo c ;; U) echo Up ;; D) echo Down ;;
        R) [ "$FACING" = right ] && echo Right || echo Left ;;
        L) [ "$FACING" = right ] && echo Left || echo Right ;;
    esac
}

# --- Screenshots. shot captures now; picture converts afterwards.
shot() { xwd -root -silent >"$WORK/$1.xwd" 2>/dev/null || fail "xwd failed"; }
picture() {
    convert "$WORK/$1.xwd" "$WORK/$1.png" || fail "convert failed"
    [ -n "$SCREENSHOT_DIR" ] && cp "$WORK/$1.png" "$SCREENSHOT_DIR/"
    return 0
}
# Box "left top right bottom" of the pixels of picture $1 that differ from
# the background in the rows $2 to $3; "none" when no pixel does.
changed_box() {
    convert "$WORK/background.png" "$WORK/$1.png" -compose difference -composite \
        -crop "${WIDTH}x$(($3 - $2))+0+$2" +repage -colorspace gray -threshold 3% \
        -format "%@" info: 2>/dev/null | awk -v top="$2" -v width="$WIDTH" -F'[x+]' '
        NF == 4 && $1 > 0 && $2 > 0 && !($1 == width && $2 == $3 - top) { print $3, $4 + top, $3 + $1 - 1, $4 + top + $2 - 1; next }
        { print "none" }'
}
# Number of pixels of colour $2 in picture $1.
colour_count() {
    convert "$WORK/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" -colorspace gray \
        -format "%[fx:round(mean*w*h)]" info:
}
# Polls the screen every 0.2 s until check $1 accepts a picture (up to 20 s).
FIGHTER_BOX=""
poll_screen() {
    name="$1"
    i=0
    while [ "$i" -lt 100 ]; do
        shot "$name"
        picture "$name"
        "check_$name" && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}
# The fighter alone between the floor band's rows, its box in FIGHTER_BOX.
fighter_alone() {
    FIGHTER_BOX=$(changed_box "$1" 330 "$HEIGHT")
    [ "$FIGHTER_BOX" != none ] || return 1
    set -- $FIGHTER_BOX
    # A frame is at most 160 pixels wide and stands on the floor.
    [ $(($3 - $1)) -le 160 ] && [ "$4" -ge $((FLOOR - 8)) ] && [ "$4" -le $((FLOOR + 4)) ]
}
centre_x() { set -- $FIGHTER_BOX; echo $((($1 + $3) / 2)); }

echo "moves in $MOVESET: $(awk '{ printf "%s%s(%s) ", sep, $1, $2 }' "$WORK/moves.txt")"

# --- 1. Start-up and the landing.
for attempt in 1 2 3; do
    start_x || { note "Xvfb did not answer: $(tail -3 "$WORK/xvfb.txt")"; continue; }
    start_game
    wait_within 120 "^Right is also 275$" && break
    kill -0 "$GAME_PID" 2>/dev/null && fail "start-up did not finish"
    grep -q "Couldn't open X11 display" "$OUT" || fail "the game ended during start-up"
    note "the game could not open $DISPLAY ($(tail -3 "$WORK/xvfb.txt")); a fresh X server"
    GAME_PID=""
done
seen_in_order "^Right is also 275$" || fail "no X server the game could open"
echo "started on display $DISPLAY"
# The landing comes on its own, a few passes after start-up: watch from the
# start-up's last line, not from when this script saw it. On a busy machine
# the script may see that line after the game has already landed; it looks
# a second late here on purpose, so that every run shows it still finds it.
sleep 1
MARK=$(grep -n "^Right is also 275$" "$OUT" | head -1 | cut -d: -f1)
wait_for "$(anim walk)" "$(anim standing)" || fail "the fighter did not land (walk, then standing)"
check_standing() {
    fighter_alone standing || return 1
    x=$(centre_x)
    [ "$x" -ge $((START_X - 25)) ] && [ "$x" -le $((START_X + 25)) ]
}
poll_screen standing || fail "screenshot: no fighter standing on the floor at x $START_X (changed: $FIGHTER_BOX)"
echo "landed: standing on the floor, image box $FIGHTER_BOX"
LAST_X=$(centre_x)

# --- 2. Walking right, then left. Holding the arrow shows "walk" and moves
# the fighter on the screen (held until it has gone 30 pixels); letting go
# shows "standing".
check_walked() {
    fighter_alone walked || return 1
    x=$(centre_x)
    if [ "$WENT" = right ]; then [ "$x" -gt $((LAST_X + 30)) ]; else [ "$x" -lt $((LAST_X - 30)) ]; fi
}
for WENT in right left; do
    [ "$WENT" = right ] && key=Right || key=Left
    mark
    xdotool keydown "$key"
    wait_for "$(anim walk)" || { xdotool keyup "$key"; fail "holding $key did not show walk"; }
    poll_screen walked || { xdotool keyup "$key"; fail "screenshot: holding $key did not move the fighter $WENT of x $LAST_X (box $FIGHTER_BOX)"; }
    xdotool keyup "$key"
    wait_for "$(anim walk)" "$(anim standing)" || fail "letting go of $key did not show standing"
    FACING=$WENT
    echo "walked $WENT: from x $LAST_X to $(centre_x) or more"
    LAST_X=$(centre_x)
done

# --- 3. Ducking: held down shows walk then duck; letting go, standing.
mark
xdotool keydown Down
wait_for "$(anim walk)" "$(anim duck)" || { xdotool keyup Down; fail "holding Down did not show walk, duck"; }
xdotool keyup Down
wait_for "$(anim walk)" "$(anim duck)" "$(anim standing)" || fail "letting go of Down did not show standing"
echo "ducked: walk, duck, standing"

# --- 4. Two jumps before landing: two inAir, no landing between them, then
# the landing's walk.
mark
xdotool keydown Up keyup Up sleep 0.12 keydown Up keyup Up
wait_for "$(anim inAir)" "$(anim inAir)" "$(anim walk)" || fail "two jumps and a landing were not shown"
tail -n +"$((MARK + 1))" "$OUT" | awk -v air="$(anim inAir)" -v walk="$(anim walk)" '
    $0 ~ air { n++ } $0 ~ walk && n == 1 { landed = 1 } END { exit landed }' ||
    fail "the fighter landed between the two jumps"
wait_for "$(anim inAir)" "$(anim inAir)" "$(anim walk)" "$(anim standing)" || fail "no standing after the landing"
echo "jumped twice: inAir, inAir, then landed"

# --- 5. Every move. Turn right first, so the fireball has room to fly.
mark
xdotool keydown Right
wait_for "$(anim walk)" || { xdotool keyup Right; fail "holding Right did not show walk"; }
xdotool keyup Right
wait_for "$(anim walk)" "$(anim standing)" || fail "letting go of Right did not show standing"
FACING=right
AUDIO_FROM=$(wc -c <"$AUDIO")

# Mean x of the fiery pixels (bright red-orange-yellow) of picture $1 that
# differ from picture "before", right of x $2 in the rows 400 to 500 (the
# fireball flies at the fighter's chest height); "none" below 20 of them.
fire_x() {
    convert "$WORK/before.png" -crop "${WIDTH}x100+0+400" +repage txt:- | tail -n +2 >"$WORK/a.txt"
    convert "$WORK/$1.png" -crop "${WIDTH}x100+0+400" +repage txt:- | tail -n +2 >"$WORK/b.txt"
    paste -d' ' "$WORK/a.txt" "$WORK/b.txt" | awk -v from="$2" '
        { split($1, at, /[,:]/); b = $6; gsub(/[()]/, "", b); split(b, c, ",");
          if (at[1] > from && $3 != $7 && c[1] >= 220 && c[2] >= 60 && c[3] <= 140 && c[1] > c[3] + 80) { n++; sx += at[1] } }
        END { if (n < 20) print "none"; else printf "%d\n", sx / n }'
}

perform() {
    name="$1"
    command="$2"
    air="$3"
    keys=""
    for l in $(echo "$command" | sed 's/./& /g'); do keys="$keys $(letter_key "$l")"; done
    if [ "$air" = air ]; then
        # An air move needs a jump first; the up press joins the command's letters.
        press Up
        wait_for "$(anim inAir)" || fail "the jump before $name did not show inAir"
    fi
    # shellcheck disable=SC2086
    press $keys
}

while read -r NAME COMMAND AIR; do
    # Before the fireball: the fighter alone, to find it and compare with.
    if [ "$NAME" = "$FIREBALL_MOVE" ]; then
        check_before() { fighter_alone before; }
        poll_screen before || fail "screenshot: no fighter alone on the floor before $NAME"
        BEFORE_BOX=$FIGHTER_BOX
    fi
    tries=0
    while :; do
        mark
        perform "$NAME" "$COMMAND" "$AIR"
        wait_within 10 "^Have Move - $NAME!\$" && break
        tries=$((tries + 1))
        [ "$tries" -lt 2 ] || fail "typing $COMMAND ($AIR) did not perform $NAME"
        note "$NAME was not recognised; typing $COMMAND again"
        wait_within 10 "punch ended"
        sleep 1
    done
    if [ "$NAME" = "$FIREBALL_MOVE" ]; then
        wait_for "^Have Move - $NAME!\$" "^TD: " || fail "$NAME launched no particle"
        # A burst of pictures while the fireball flies; judged afterwards.
        for k in 1 2 3 4 5 6; do shot "thrown$k"; done
    fi
    wait_for "^Have Move - $NAME!\$" "punch ended" || fail "$NAME did not end with punch ended"
    wait_for "^Have Move - $NAME!\$" "punch ended" "$(anim walk)" || fail "after $NAME no walk"
    # Idle and back on the floor (as the screen shows) before the next command.
    wait_for "^Have Move - $NAME!\$" "punch ended" "$(anim walk)" "$(anim standing)" || fail "after $NAME no standing"
    check_landed() { fighter_alone landed; }
    poll_screen landed || fail "screenshot: the fighter is not back on the floor after $NAME (box $FIGHTER_BOX)"
    echo "performed $NAME: typed $COMMAND$([ "$AIR" = air ] && echo " after a jump"), punch ended"
    if [ "$NAME" = "$FIREBALL_MOVE" ]; then
        # The stance's right edge lies about 37 pixels right of the anchor and
        # the frame's about 80: what burns past the frame is a particle.
        set -- $BEFORE_BOX
        STANCE_RIGHT=$3
        PAST_FRAME=$((STANCE_RIGHT + 50))
        FIREBALL_AT=none
        for k in 1 2 3 4 5 6; do
            picture "thrown$k"
            x=$(fire_x "thrown$k" "$PAST_FRAME")
            # Beside the fighter: within 300 pixels of its stance.
            if [ "$x" != none ] && [ "$x" -le $((STANCE_RIGHT + 300)) ]; then
                FIREBALL_AT=$x
                cp "$WORK/thrown$k.png" "$WORK/fireball.png"
                [ -n "$SCREENSHOT_DIR" ] && cp "$WORK/fireball.png" "$SCREENSHOT_DIR/"
                break
            fi
        done
        [ "$FIREBALL_AT" != none ] || fail "screenshot: no fireball beside the fighter (stance right edge $STANCE_RIGHT)"
        echo "fireball: fiery pixels at x $FIREBALL_AT beside the fighter, whose stance ends at x $STANCE_RIGHT"
    fi
done <"$WORK/moves.txt"
AUDIO_TO=$(wc -c <"$AUDIO")

# --- 6. The sound of the moves: the disk driver's samples written while the
# moves ran (16-bit stereo) are not all silent.
[ "$AUDIO_TO" -gt "$AUDIO_FROM" ] || fail "the disk audio file did not grow during the moves"
PEAK=$(tail -c +"$((AUDIO_FROM + 1))" "$AUDIO" | head -c "$((AUDIO_TO - AUDIO_FROM))" |
    od -An -v -td2 -w2 | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')
[ "$PEAK" -gt 1000 ] || fail "the moves were silent on the disk audio output (peak $PEAK)"
echo "audio: $((AUDIO_TO - AUDIO_FROM)) bytes during the moves, peak sample $PEAK"

# --- 7. The debug boxes: j shows the collision box and the anchor marker,
# j again hides them.
mark
press j
check_boxes() {
    BOX_PIXELS=$(colour_count boxes "$BOX_COLOUR")
    MARK_PIXELS=$(colour_count boxes "$MARK_COLOUR")
    [ "$BOX_PIXELS" -ge 500 ] && [ "$MARK_PIXELS" -ge 4 ]
}
poll_screen boxes || fail "screenshot: no debug boxes after j ($BOX_PIXELS box pixels, $MARK_PIXELS marker pixels)"
echo "debug boxes: $BOX_PIXELS collision-box pixels, $MARK_PIXELS anchor-marker pixels"
press j
check_noboxes() { [ "$(colour_count noboxes "$BOX_COLOUR")" -eq 0 ]; }
poll_screen noboxes || fail "screenshot: the debug boxes stayed after j again"
echo "debug boxes hidden again"

# --- 8. Escape ends the game with status 0.
press Escape
for i in $(seq 1 200); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$GAME_PID" 2>/dev/null; then fail "Escape did not end the game"; fi
wait "$GAME_PID"
STATUS=$?
GAME_PID=""
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS after Escape"
for word in "AddressSanitizer" "runtime error:" "LeakSanitizer"; do
    grep -q "$word" "$WORK/err.txt" && fail "sanitizer report on standard error"
done
echo "PASS: played the bundled game: landing, walks, duck, double jump, $MOVE_COUNT moves, debug boxes, Escape (status 0)"
