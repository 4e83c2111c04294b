# Sourced by the scripts that start the game: a scratch folder $WORK, and at
# exit the game in $GAME_PID and the X server in $XVFB_PID killed and the
# folder removed. Killed (a CTest timeout, a closed pipe), the script leaves
# through the same cleanup, so no game or X server is left running. With
# KEEP_WORK set the folder stays, for a look after a failure.
WORK="$(mktemp -d)"
GAME_PID=""
XVFB_PID=""
cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$KEEP_WORK" ] || rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE
