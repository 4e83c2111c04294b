#!/bin/sh
# The package stage of ./test.sh: builds the Debian package with
# scripts/package-deb.sh (lintian errors fail it), checks its file list and
# dependency line, unpacks it into a scratch root (dpkg -x) and starts the
# unpacked game and checker from an unrelated folder on SDL's dummy
# drivers: they must find the unpacked data, and the game must end with
# status 0 on SIGTERM.
# Argument: the build folder (default build/).
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
. "$ROOT/tests/scratch.sh"
fail() { echo "FAIL (package): $*"; exit 1; }

echo "=== Package: build, contents, dependencies, the unpacked game ==="
"$ROOT/scripts/package-deb.sh" "$BUILD" >"$WORK/build.txt" 2>&1 || {
    tail -30 "$WORK/build.txt"
    fail "scripts/package-deb.sh failed"
}
grep "^[WE]: " "$WORK/build.txt"
VERSION="$(dpkg-parsechangelog -l "$ROOT/packaging/changelog" -S Version)"
DEB="$ROOT/dist/fightscene_${VERSION}_$(dpkg --print-architecture).deb"
[ -s "$DEB" ] || fail "no package at $DEB"

# --- The file list: exactly these files, the data as in the repository.
{
    printf '%s\n' ./usr/games/fightscene \
        ./usr/bin/fightscene-check ./usr/bin/fightscene-sheet ./usr/bin/fightscene-replay \
        ./usr/share/applications/fightscene.desktop \
        ./usr/share/icons/hicolor/64x64/apps/fightscene.png \
        ./usr/share/icons/hicolor/128x128/apps/fightscene.png \
        ./usr/share/man/man6/fightscene.6.gz ./usr/share/man/man1/fightscene-check.1.gz \
        ./usr/share/man/man1/fightscene-sheet.1.gz ./usr/share/man/man1/fightscene-replay.1.gz \
        ./usr/share/doc/fightscene/copyright ./usr/share/doc/fightscene/changelog.gz
    (cd "$ROOT" && git ls-files data 2>/dev/null || find data -type f) |
        sed 's|^|./usr/share/games/fightscene/|'
} | LC_ALL=C sort >"$WORK/expected.txt"
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort >"$WORK/files.txt"
diff "$WORK/expected.txt" "$WORK/files.txt" >"$WORK/files.diff" ||
    fail "the file list differs from the expected one (< expected, > in the package):$(echo; head -20 "$WORK/files.diff")"
dpkg-deb -c "$DEB" | awk '$1 ~ /^-.*x/ { print $6 }' | LC_ALL=C sort >"$WORK/programs.txt"
printf '%s\n' ./usr/bin/fightscene-check ./usr/bin/fightscene-replay ./usr/bin/fightscene-sheet \
    ./usr/games/fightscene | cmp -s - "$WORK/programs.txt" || fail "executable files: $(cat "$WORK/programs.txt")"

# --- The dependency line: the run-time libraries of SDL, the mixer and
# C++, each installed here; no development package.
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"
echo "Depends: $DEPENDS"
for needed in libc6 libstdc++6 libsdl1.2debian libsdl-mixer1.2; do
    case ", $DEPENDS," in
        *", $needed "* | *", $needed,"*) ;;
        *) fail "Depends lacks $needed" ;;
    esac
done
echo "$DEPENDS" | grep -q -- "-dev" && fail "Depends names a development package"
for package in $(echo "$DEPENDS" | sed 's/([^)]*)//g; s/,/ /g; s/|/ /g'); do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        fail "Depends names $package, which is not installed here"
done
[ "$(dpkg-deb -f "$DEB" Section)" = games ] || fail "section $(dpkg-deb -f "$DEB" Section)"

# --- The unpacked game, started from an unrelated folder.
UNPACKED="$WORK/root"
dpkg -x "$DEB" "$UNPACKED" || fail "dpkg -x failed"
mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere" || fail "no scratch folder"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$UNPACKED/usr/games/fightscene" >"$WORK/out.txt" 2>&1 &
GAME_PID=$!
i=0
until grep -q "^Right is also 275" "$WORK/out.txt"; do
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during start-up: $(tail -5 "$WORK/out.txt")"
    [ "$i" -lt 600 ] || fail "no end of start-up within 60 s"
    sleep 0.1
    i=$((i + 1))
done
kill -TERM "$GAME_PID"
wait "$GAME_PID"
STATUS=$?
GAME_PID=""
[ "$STATUS" -eq 0 ] || fail "status $STATUS on SIGTERM"
grep "ERROR opening file" "$WORK/out.txt" && fail "the unpacked game did not find its data"
grep -q "^load folder data/Burn/" "$WORK/out.txt" || fail "the unpacked game loaded no frames"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "the game wrote into the folder it was started from"

# The checker, given no folder, checks the unpacked data.
"$UNPACKED/usr/bin/fightscene-check" >"$WORK/check.txt" 2>&1 ||
    fail "fightscene-check on the unpacked data: status $?: $(tail -5 "$WORK/check.txt")"
grep -q "^0 errors, 0 warnings" "$WORK/check.txt" ||
    fail "fightscene-check did not find the unpacked data: $(tail -3 "$WORK/check.txt")"
echo "PASS (package): $DEB"
