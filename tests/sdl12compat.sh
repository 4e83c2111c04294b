#!/bin/sh
# Runs a test against sdl12-compat (SDL 1.2 on SDL2, the SDL 1.2 of current
# distributions) in place of SDL 1.2.15: its folder goes first on
# LD_LIBRARY_PATH, after checking that the program the test starts really
# loads SDL from there.
# Arguments: the sdl12-compat folder, the program to check, the test command.
COMPAT="$1"
CHECKED="$2"
shift 2
if [ ! -e "$COMPAT/libSDL-1.2.so.0" ]; then
    echo "FAIL: no sdl12-compat in $COMPAT (scripts/install-deps.sh installs libsdl1.2-compat)"
    exit 1
fi
LD_LIBRARY_PATH="$COMPAT${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export LD_LIBRARY_PATH
if ! ldd "$CHECKED" | grep -q "libSDL-1.2.so.0 => $COMPAT/"; then
    echo "FAIL: $CHECKED does not load SDL from $COMPAT:"
    ldd "$CHECKED" | grep -i sdl
    exit 1
fi
exec "$@"
