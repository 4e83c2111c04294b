# Sourced by the window scripts with their own arguments: fightscene-windowcheck,
# the source folder and the sdl12-compat folder (CHECK, SOURCE, COMPAT). It
# takes a scratch $WORK (scratch.sh), defines fail and library_path, checks
# that the program loads sdl12-compat from its folder, and starts Xvfb with
# the X11 video and dummy audio drivers.
CHECK="$1"
SOURCE="$2"
COMPAT="$3"
. "$SOURCE/tests/scratch.sh"
fail() { echo "FAIL: $*"; exit 1; }

sh "$SOURCE/tests/sdl12compat.sh" "$COMPAT" "$CHECK" true || exit 1
. "$SOURCE/tests/xserver.sh"
start_xserver 800x600x24
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

# library_path LIBRARY: the LD_LIBRARY_PATH that runs a program on LIBRARY,
# classic (SDL 1.2.15, the system's) or compat (sdl12-compat).
library_path() {
    if [ "$1" = compat ]; then echo "$COMPAT"; fi
}
