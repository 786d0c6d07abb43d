#!/bin/sh
# Builds the project and runs every test, headless (no display, no sound card needed).
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in
#                                build-asan/, leaving out the tests that need OpenGL
#   scripts/test.sh --threads    ThreadSanitizer build in build-tsan/ running the game
#                                library's tests (the loader thread lives there) and
#                                every library's *ThreadsTest files
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build"
cmake_extra=""
ctest_extra=""
if [ "${1:-}" = "--sanitize" ]; then
    build="$root/build-asan"
    cmake_extra="-DRUNTIME_SANITIZE=ON -DRUNTIME_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"
    ctest_extra="-LE gl"
elif [ "${1:-}" = "--threads" ]; then
    build="$root/build-tsan"
    cmake_extra="-DRUNTIME_SANITIZE_THREADS=ON -DRUNTIME_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"
    ctest_extra="-L ^game$|-threads$"
    # OpenMP's worker threads synchronise inside libgomp, which ThreadSanitizer cannot
    # see: the texture blur's parallel loops would be reported as races. One OpenMP
    # thread keeps the sanitizer's view exact; the blur's own tests cover threading.
    export OMP_NUM_THREADS=1
fi

. "$root/scripts/headless-env.sh"

jobs="$(nproc)"
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja $cmake_extra
cmake --build "$build" -j "$jobs"
# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 $ctest_extra
