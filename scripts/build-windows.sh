#!/bin/sh
# Builds the game for Windows with Debian's mingw-w64 and makes
# dist/fightscene-win32.zip: the game, its tools, SDL.dll, SDL_mixer.dll,
# the data and the READMEs, in one folder. With --64, a 64-bit build in
# dist/fightscene-win64.zip instead.
#
# SDL 1.2 and SDL_mixer 1.2 for Windows, ENet (static, in SDL's folder) for
# netplay, and Google Benchmark for fightscene-bench, are built from Debian's
# own source packages and kept in
# ~/.cache/fightscene (or $XDG_CACHE_HOME/fightscene), one folder per target
# and source package versions, so later runs reuse them.
# The CMake build goes to build-win32/ (build-win64/). Extra arguments are
# CMake targets to build besides the zip's (scripts/test-windows.sh asks for
# the tests).
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
JOBS="$(nproc)"
ARCH=i686
NAME=win32
if [ "$1" = "--64" ]; then
    ARCH=x86_64
    NAME=win64
    shift
fi
TRIPLE="$ARCH-w64-mingw32"
FIGHTSCENE_WINDOWS_ARCH="$ARCH" "$ROOT/scripts/install-windows-deps.sh"

# --- SDL and SDL_mixer for Windows, from Debian's source packages ---
sourceVersion() {
    apt-get source --print-uris "$1" | sed -n "s/^'[^']*' $1_\(.*\)\.dsc .*/\1/p" | head -n 1
}
SDL_VERSION="$(sourceVersion libsdl1.2)"
MIXER_VERSION="$(sourceVersion sdl-mixer1.2)"
BENCHMARK_VERSION="$(sourceVersion benchmark)"
ENET_VERSION="$(sourceVersion enet)"
if [ -z "$SDL_VERSION" ] || [ -z "$MIXER_VERSION" ] || [ -z "$BENCHMARK_VERSION" ] || [ -z "$ENET_VERSION" ]; then
    echo "build-windows: apt-get finds no source package for libsdl1.2, sdl-mixer1.2, benchmark or enet" >&2
    exit 1
fi
CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/fightscene"
SDL_PREFIX="$CACHE/sdl-$TRIPLE-libsdl1.2_$SDL_VERSION-sdl-mixer1.2_$MIXER_VERSION"
BENCHMARK_PREFIX="$CACHE/benchmark-$TRIPLE-benchmark_$BENCHMARK_VERSION"

buildSdl() {
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    rm -rf "$SDL_PREFIX"
    echo "build-windows: building SDL $SDL_VERSION and SDL_mixer $MIXER_VERSION for $TRIPLE into $SDL_PREFIX"
    (cd "$work" && apt-get source -q libsdl1.2 sdl-mixer1.2 >apt-source.log 2>&1) || {
        cat "$work/apt-source.log" >&2
        exit 1
    }
    mkdir "$work/sdl" "$work/mixer"
    # SDL's DLLs carry libgcc inside, like the game (libtool drops the flag
    # from LDFLAGS, not from the compiler command).
    (cd "$work/sdl" && "$work"/libsdl1.2-*/configure --host="$TRIPLE" --prefix="$SDL_PREFIX" \
        --disable-nasm CC="$TRIPLE-gcc -static-libgcc" >configure.log 2>&1 &&
        make -j"$JOBS" >make.log 2>&1 && make install >install.log 2>&1) || {
        tail -n 30 "$work"/sdl/*.log >&2
        exit 1
    }
    # WAV only, no codec libraries; only the library (its demo programs need SDLmain).
    (cd "$work/mixer" && PATH="$SDL_PREFIX/bin:$PATH" "$work"/sdl-mixer1.2-*/configure --host="$TRIPLE" \
        --prefix="$SDL_PREFIX" --with-sdl-prefix="$SDL_PREFIX" --disable-sdltest --disable-smpegtest \
        --disable-music-cmd --disable-music-mod --disable-music-midi --disable-music-ogg \
        --disable-music-flac --disable-music-mp3 CC="$TRIPLE-gcc -static-libgcc" >configure.log 2>&1 &&
        make -j"$JOBS" install-hdrs install-lib >make.log 2>&1) || {
        tail -n 30 "$work"/mixer/*.log >&2
        exit 1
    }
    touch "$SDL_PREFIX/.complete"
    rm -rf "$work"
    trap - EXIT
}
[ -f "$SDL_PREFIX/.complete" ] || buildSdl

# ENet as a static library in SDL's folder. Its few C files are compiled
# straight with the cross compiler: on Windows only win32.c of the two
# platform files has code.
buildEnet() {
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    rm -f "$SDL_PREFIX"/.enet-*
    echo "build-windows: building ENet $ENET_VERSION for $TRIPLE into $SDL_PREFIX"
    # Without its source the game is built without netplay (CMake says so),
    # and the next run tries again.
    (cd "$work" && apt-get source -q enet >apt-source.log 2>&1) || {
        grep '^E:' "$work/apt-source.log" >&2
        echo "build-windows: WARNING: ENet's source could not be fetched: this build has no netplay" >&2
        rm -rf "$work"
        trap - EXIT
        return 0
    }
    enetSource="$(echo "$work"/enet-*/)"
    mkdir "$work/objects"
    for file in "$enetSource"*.c; do
        "$TRIPLE-gcc" -O2 -I"$enetSource/include" -c "$file" -o "$work/objects/$(basename "$file" .c).o" || exit 1
    done
    rm -f "$SDL_PREFIX/lib/libenet.a"
    "$TRIPLE-ar" rcs "$SDL_PREFIX/lib/libenet.a" "$work"/objects/*.o
    rm -rf "$SDL_PREFIX/include/enet"
    cp -R "$enetSource/include/enet" "$SDL_PREFIX/include/enet"
    touch "$SDL_PREFIX/.enet-$ENET_VERSION"
    rm -rf "$work"
    trap - EXIT
}
[ -f "$SDL_PREFIX/.enet-$ENET_VERSION" ] || buildEnet

# Google Benchmark as static libraries, without its own tests. The version
# it reports is the package's (Debian's build passes it the same way: the
# source has no git tags to read it from).
buildBenchmark() {
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    rm -rf "$BENCHMARK_PREFIX"
    echo "build-windows: building Google Benchmark $BENCHMARK_VERSION for $TRIPLE into $BENCHMARK_PREFIX"
    (cd "$work" && apt-get source -q benchmark >apt-source.log 2>&1) || {
        cat "$work/apt-source.log" >&2
        exit 1
    }
    (cmake -S "$work"/benchmark-*/ -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DFIGHTSCENE_WINDOWS_ARCH="$ARCH" \
        -DCMAKE_INSTALL_PREFIX="$BENCHMARK_PREFIX" -DGIT_VERSION="${BENCHMARK_VERSION%-*}" \
        -DBUILD_SHARED_LIBS=OFF -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
        -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF >"$work/configure.log" 2>&1 &&
        cmake --build "$work/build" -j"$JOBS" --target install >"$work/make.log" 2>&1) || {
        tail -n 30 "$work"/*.log >&2
        exit 1
    }
    touch "$BENCHMARK_PREFIX/.complete"
    rm -rf "$work"
    trap - EXIT
}
[ -f "$BENCHMARK_PREFIX/.complete" ] || buildBenchmark

# --- The game and its tools ---
BUILD="$ROOT/build-$NAME"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFIGHTSCENE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DFIGHTSCENE_WINDOWS_ARCH="$ARCH" -DFIGHTSCENE_SDL_PREFIX="$SDL_PREFIX" \
    -DFIGHTSCENE_BENCHMARK_PREFIX="$BENCHMARK_PREFIX" >"$BUILD.configure.log" 2>&1 || {
    cat "$BUILD.configure.log" >&2
    exit 1
}
TOOLS="fightscene-check fightscene-sheet fightscene-replay"
cmake --build "$BUILD" -j"$JOBS" --target fightscene $TOOLS "$@"

# --- The zip ---
STAGE="$ROOT/dist/fightscene-$NAME"
rm -rf "$STAGE" "$STAGE.zip"
mkdir -p "$STAGE"
"$TRIPLE-strip" -o "$STAGE/fightscene.exe" "$BUILD/fightscene.exe"
for tool in $TOOLS; do
    "$TRIPLE-strip" -o "$STAGE/$tool.exe" "$BUILD/tools/$tool.exe"
done
cp "$SDL_PREFIX/bin/SDL.dll" "$SDL_PREFIX/bin/SDL_mixer.dll" "$STAGE/"
cp -R "$ROOT/data" "$STAGE/data"
cp "$ROOT/README.md" "$STAGE/README.md"
sed 's/$/\r/' "$ROOT/scripts/README-windows.txt" >"$STAGE/README-windows.txt"

# Every DLL a program needs is either shipped or part of Windows.
for binary in "$STAGE"/*.exe "$STAGE"/*.dll; do
    "$TRIPLE-objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
        [ -f "$STAGE/$dll" ] && continue
        case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
        kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | winmm.dll | ws2_32.dll | msvcrt.dll | shell32.dll) ;;
        *)
            echo "build-windows: $(basename "$binary") needs $dll, which the zip lacks" >&2
            exit 1
            ;;
        esac
    done
done

(cd "$ROOT/dist" && zip -qr "fightscene-$NAME.zip" "fightscene-$NAME")
echo "build-windows: made $ROOT/dist/fightscene-$NAME.zip"
