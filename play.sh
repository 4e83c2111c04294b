#!/bin/sh
# Installs what building and playing need when it is missing, builds, and
# starts the game (./test.sh installs what the tests need).
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
"$ROOT/scripts/install-deps.sh" --play
cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build" --target fightscene -j"$(nproc)"
exec "$ROOT/build/fightscene" "$@"
