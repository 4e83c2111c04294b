#!/bin/sh
# Installs what is missing, builds, builds and checks the Debian package
# (scripts/test-package.sh), and runs every test through CTest twice:
# first the normal build (gcc) in build/, then the whole project again with
# clang, AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz harnesses
# (each run briefly) in build-asan/, and finally the Windows build under Wine
# (scripts/test-windows.sh). Fails when any of them fails. The builds treat
# compiler warnings as errors.
#
#   ./test.sh            the full run (both suites and Windows), as CI runs it
#   ./test.sh --quick    the normal build and its suite only (no package), for daily work
#
# Further arguments go to the ctest runs, for example ./test.sh --quick -R Sprite.
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
JOBS="$(nproc)"
QUICK=0
if [ "${1:-}" = "--quick" ]; then
    QUICK=1
    shift
fi
"$ROOT/scripts/install-deps.sh"

cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFIGHTSCENE_WERROR=ON
cmake --build "$ROOT/build" -j"$JOBS"

if [ "$QUICK" -eq 1 ]; then
    echo
    echo "=== Test suite: normal build (build/) ==="
    cd "$ROOT/build" && exec ctest --output-on-failure -j"$JOBS" "$@"
fi
"$ROOT/scripts/test-package.sh" "$ROOT/build"

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFIGHTSCENE_SANITIZE=ON -DFIGHTSCENE_FUZZ=ON -DFIGHTSCENE_WERROR=ON
cmake --build "$ROOT/build-asan" -j"$JOBS"

set +e
echo
echo "=== Test suite: normal build (build/) ==="
(cd "$ROOT/build" && ctest --output-on-failure -j"$JOBS" "$@")
PLAIN=$?
echo
if [ "$PLAIN" -ne 0 ]; then
    echo "=== The normal build's suite FAILED (summary above); the sanitizer suite runs all the same ==="
fi
echo "=== Test suite: sanitizer build (build-asan/: ASan, UBSan, fuzz harnesses) ==="
(cd "$ROOT/build-asan" && ctest --output-on-failure -j"$JOBS" "$@")
SANITIZED=$?
echo
"$ROOT/scripts/test-windows.sh" "$@"
WINDOWS=$?
[ "$PLAIN" -eq 0 ] && [ "$SANITIZED" -eq 0 ] && [ "$WINDOWS" -eq 0 ]
