#!/bin/sh
# Installs what is missing, builds, and starts the game.
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build" --target fightscene -j"$(nproc)"
exec "$ROOT/build/fightscene" "$@"
