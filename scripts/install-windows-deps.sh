#!/bin/sh
# Installs what the Windows build and its tests need on Debian 12 (the
# Windows list below, apart from the Linux build's), only when something is
# missing: the mingw-w64 cross compiler, the tools that fetch
# and build Debian's SDL source packages, and Wine for 32-bit programs.
set -e
WINDOWS_PACKAGES="g++-mingw-w64-i686 dpkg-dev make zip unzip wine wine32 \
xvfb xauth x11-utils xdotool imagemagick"
# The 64-bit build (scripts/build-windows.sh --64) needs its own compiler.
[ "$FIGHTSCENE_WINDOWS_ARCH" = x86_64 ] && WINDOWS_PACKAGES="$WINDOWS_PACKAGES g++-mingw-w64-x86-64 wine64"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
updated=""

# wine32 is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated="no"
fi

# SDL for Windows is built from Debian's own source packages.
SOURCES=/etc/apt/sources.list.d/fightscene-deb-src.sources
if [ ! -f "$SOURCES" ]; then
    $SUDO tee "$SOURCES" >/dev/null <<'END'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
END
    updated="no"
fi

missing=""
for p in $WINDOWS_PACKAGES; do
    case "$p" in wine32) q="wine32:i386" ;; *) q="$p" ;; esac
    dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ] || [ -n "$updated" ]; then
    echo "Installing for the Windows build:$missing"
    $SUDO apt-get update
    [ -z "$missing" ] || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
