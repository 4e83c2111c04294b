#!/bin/sh
# Builds the Debian package dist/fightscene_<version>_<arch>.deb from the
# repository: the game in /usr/games, the authoring tools in /usr/bin, the
# data in /usr/share/games/fightscene/data, the menu entry and its icons,
# the manual page; dependencies computed from the binaries by
# dpkg-shlibdeps. Version, maintainer and date come from
# packaging/changelog. Fails when lintian reports an error; its warnings
# are printed.
# Argument: the build folder to use (default build/, configured if needed).
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
CHANGELOG="$ROOT/packaging/changelog"
for tool in cmake dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian; do
    command -v "$tool" >/dev/null 2>&1 || { echo "package-deb: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done
if grep -q "^FIGHTSCENE_SANITIZE:BOOL=ON" "$BUILD/CMakeCache.txt" 2>/dev/null; then
    echo "package-deb: $BUILD is a sanitizer build; give a normal one"
    exit 1
fi

VERSION="$(dpkg-parsechangelog -l "$CHANGELOG" -S Version)"
MAINTAINER="$(dpkg-parsechangelog -l "$CHANGELOG" -S Maintainer)"
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$CHANGELOG" -S Timestamp)"
export SOURCE_DATE_EPOCH
ARCH="$(dpkg --print-architecture)"
DEB="$ROOT/dist/fightscene_${VERSION}_${ARCH}.deb"

cmake -S "$ROOT" -B "$BUILD" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target fightscene fightscene-check fightscene-sheet fightscene-replay icons

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# dpkg-shlibdeps expects the files under debian/<package>.
STAGE="$WORK/debian/fightscene"
DESTDIR="$STAGE" cmake --install "$BUILD" --prefix /usr --strip >/dev/null

# Debian's layout for documentation: compressed manual pages and changelog.
DOC="$STAGE/usr/share/doc/fightscene"
mkdir -p "$DOC"
cp "$ROOT/packaging/copyright" "$DOC/copyright"
gzip -9n <"$CHANGELOG" >"$DOC/changelog.gz"
find "$STAGE/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +

# Owners come from dpkg-deb (root); modes and times are set here, so the
# package is the same whatever the umask and the checkout's times.
find "$STAGE" -type d -exec chmod 0755 {} +
find "$STAGE" -type f -exec chmod 0644 {} +
chmod 0755 "$STAGE"/usr/games/* "$STAGE"/usr/bin/*

# The shared libraries the binaries need, as a dependency line.
mkdir -p "$WORK/debian"
printf 'Source: fightscene\n\nPackage: fightscene\nArchitecture: any\n' >"$WORK/debian/control"
DEPENDS="$(cd "$WORK" && dpkg-shlibdeps -O "$STAGE"/usr/games/fightscene "$STAGE"/usr/bin/* |
    sed -n 's/^shlibs:Depends=//p')"
[ -n "$DEPENDS" ] || { echo "package-deb: dpkg-shlibdeps gave no dependencies"; exit 1; }

mkdir -p "$STAGE/DEBIAN"
(cd "$STAGE" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$STAGE/DEBIAN/md5sums"
chmod 0644 "$STAGE/DEBIAN/md5sums"
cat >"$STAGE/DEBIAN/control" <<CONTROL
Package: fightscene
Version: $VERSION
Architecture: $ARCH
Maintainer: $MAINTAINER
Installed-Size: $(du -sk --exclude=DEBIAN "$STAGE" | cut -f1)
Depends: $DEPENDS
Section: games
Priority: optional
Description: small two-dimensional fighting game
 A fighter stands on a floor in front of a painted scene. Walk him, duck,
 jump twice before landing, and perform his eight moves by typing their
 commands: a rising uppercut, a thrown fireball, punches, kicks and a
 sweep.
 .
 The package also holds the authoring tools for the game's content:
 fightscene-check checks a data folder, fightscene-sheet draws the frames
 of an animation on one sheet, and fightscene-replay plays a script of
 keys and takes screenshots.
CONTROL
chmod 0644 "$STAGE/DEBIAN/control"
find "$STAGE" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$ROOT/dist"
dpkg-deb --root-owner-group -Zxz --build "$STAGE" "$DEB" >/dev/null
echo "package-deb: built $DEB"
echo "package-deb: Depends: $DEPENDS"
# Errors fail the build; warnings and the rest are shown.
lintian --fail-on error --display-level ">=warning" "$DEB"
echo "package-deb: lintian reports no errors"
