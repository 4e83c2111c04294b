#!/bin/sh
# Installs what is missing, builds, and runs every test through CTest.
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
"$ROOT/scripts/install-deps.sh"
cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ROOT/build" -j"$(nproc)"
cd "$ROOT/build"
ctest --output-on-failure -j"$(nproc)" "$@"
