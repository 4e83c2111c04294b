#!/bin/sh
# Measures the scene pass on a real display: fightscene-bench under Xvfb with
# SDL's x11 driver, then the same through sdl12-compat (SDL 1.2 over SDL 2)
# when it is installed. Writes one JSON file per display into a folder, for
# bench/plot.sh; the summary lines go to standard error as the program
# prints them.
# Usage: bench/display.sh <fightscene-bench> <folder> [more benchmark options]
set -e
BENCH="$1"
OUT="$2"
[ -x "$BENCH" ] && [ -n "$OUT" ] || { echo "usage: $0 <fightscene-bench> <folder> [options]" >&2; exit 2; }
shift 2
mkdir -p "$OUT"
WORK="$(mktemp -d)"
fail() { echo "display.sh: $*" >&2; exit 1; }
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$WORK"; }
trap cleanup EXIT INT TERM
. "$(dirname "$0")/../tests/xserver.sh"
start_xserver 800x600x24

# The pass, the flip alone and the pass that shows only what changed.
FILTER='^Scene/Pass$|^Display/'
COMPAT=/usr/lib/x86_64-linux-gnu/sdl12-compat
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$BENCH" --benchmark_filter="$FILTER" \
    --benchmark_format=json "$@" >"$OUT/display-x11.json"
if [ -e "$COMPAT/libSDL-1.2.so.0" ]; then
    LD_LIBRARY_PATH="$COMPAT" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$BENCH" --benchmark_filter="$FILTER" \
        --benchmark_format=json "$@" >"$OUT/display-compat-x11.json"
else
    echo "display.sh: sdl12-compat is not installed ($COMPAT); measured SDL 1.2 only" >&2
fi
