#!/bin/sh
# Installs every Debian 12 package the build, the demo and the tests need.
# Idempotent: packages already present are not touched.
#   scripts/setup.sh          what the build, the demo and the tests need
#   scripts/setup.sh --fuzz   that, plus clang with its fuzzer and sanitizer runtimes and
#                             LLVM's OpenMP (scripts/fuzz.sh)
set -eu

PACKAGES="g++ cmake ninja-build pkg-config git
liblua5.1-0-dev lua5.1 zlib1g-dev libboost-dev libboost-graph-dev libfreeimage-dev
libogg-dev libtheora-dev libsdl2-dev libopenal-dev libsndfile1-dev libvorbis-dev
libopenmpt-dev libpng-dev libjpeg-dev libepoxy-dev libgl-dev libegl-dev libopengl-dev libgl1-mesa-dri
libegl-mesa0 libegl1
libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool libx11-dev
xfonts-base locales"
# xfonts-base: on X11, SDL draws its message boxes (exit question, fatal error) itself
# with the X core fonts; without them the text goes to stderr.
# xvfb, xdotool: the end-to-end test that types real X11 keys and clicks into the program.
# libx11-dev: the tests that close a message box as a window manager would and read back
# the screen.
# locales: the character maps localedef needs, so the profile tests can build a locale
# with a decimal comma on a minimal system.
if [ "${1:-}" = "--fuzz" ]; then
    # libclang-rt-14-dev (libFuzzer, the sanitizers) and llvm-14 (llvm-symbolizer: without
    # it reports carry no function names and the leak suppressions never match) are only
    # recommended by clang.
    PACKAGES="$PACKAGES clang libclang-rt-14-dev libomp-14-dev llvm-14"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    SUDO=""
    if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi
