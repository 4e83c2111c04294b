# Sourced by the netplay scripts, with the build and source folders as
# arguments: $REPLAY, a scratch folder $WORK (tests/scratch.sh) that is also
# the user's settings folder, headless SDL, and fail(), which notes a failure
# in $FAILED and goes on.
BUILD="$(cd "$1" && pwd)"
SOURCE="$(cd "$2" && pwd)"
REPLAY="$BUILD/tools/fightscene-replay"
[ -f "$REPLAY" ] || { echo "FAIL: build fightscene-replay first"; exit 1; }
. "$SOURCE/tests/scratch.sh"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/config"
FAILED=0
fail() {
    echo "FAIL: $*"
    FAILED=1
}
