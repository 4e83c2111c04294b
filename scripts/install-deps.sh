#!/bin/sh
# Installs the Debian 12 packages that are missing: with --play only what
# building and playing the game need, else also what the tests and the
# package build need. Waits for another apt or dpkg to finish first.
set -e
PLAY_PACKAGES="build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libpng-dev libenet-dev"
TEST_PACKAGES="libgtest-dev libgmock-dev googletest libbenchmark-dev \
xvfb xauth xdotool x11-apps x11-utils imagemagick \
clang libclang-rt-14-dev libsdl1.2-compat dpkg-dev lintian gnuplot-nox"
PACKAGES="$PLAY_PACKAGES"
[ "$1" = "--play" ] || PACKAGES="$PLAY_PACKAGES $TEST_PACKAGES"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends $missing
