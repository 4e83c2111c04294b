#!/bin/sh
# Installs the Debian 12 packages the build, the game and the tests need,
# only when one of them is missing.
set -e
PACKAGES="build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev \
libgtest-dev libgmock-dev googletest libbenchmark-dev \
xvfb xauth xdotool x11-apps x11-utils imagemagick \
clang libclang-rt-14-dev gnuplot-nox"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
