#!/bin/sh
# Runs every test program of a build with its tests shuffled, all of a program's tests in
# one process, as ctest runs each program (from its folder, headless). A test that passes
# alone but fails here depends on the order of the others or on what one of them left
# behind: singletons, loggers, the environment, files.
#   scripts/shuffle-tests.sh [build dir] [seed...]    default: build/, seeds 1 2 3
# SHUFFLE_JOBS programs run at once (default 4); SHUFFLE_REPEAT=N runs each program's tests
# N times over in its one process (default 1); SHUFFLE_SKIP_GL=1 leaves out the programs
# that need OpenGL, as the sanitizer builds do. Builds nothing: build first.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" = "--one" ]; then
    # One program with one seed: "--one <program> <seed> <log>".
    exe="$2"
    seed="$3"
    log="$4"
    status=0
    (cd "$(dirname "$exe")" && timeout 900 "$exe" --gtest_shuffle --gtest_random_seed="$seed" \
        --gtest_repeat="${SHUFFLE_REPEAT:-1}") >"$log" 2>&1 ||
        status=$?
    if [ "$status" = 0 ]; then
        echo "ok     $(basename "$exe") seed $seed"
        rm -f "$log"
    else
        echo "FAILED $(basename "$exe") seed $seed, status $status (log: $log)"
        grep -E '^\[  FAILED  \]|Failure$|Sanitizer' "$log" | head -20 | sed 's/^/    /'
    fi
    exit 0
fi

build="$(cd "${1:-$root/build}" && pwd)"
[ $# -gt 0 ] && shift
seeds="${*:-1 2 3}"
jobs="${SHUFFLE_JOBS:-4}"

. "$root/scripts/headless-env.sh"

logs="$(mktemp -d)"
list="$logs/runs"
: >"$list"
for exe in "$build"/tests/*/*_*Test; do
    [ -x "$exe" ] || continue
    name="$(basename "$exe")"
    lib="${name%%_*}"
    if [ "${SHUFFLE_SKIP_GL:-0}" = 1 ] && [ -f "$root/tests/$lib/gl/${name#*_}.cpp" ]; then
        continue
    fi
    for seed in $seeds; do
        printf '%s %s %s\n' "$exe" "$seed" "$logs/$name.$seed.log" >>"$list"
    done
done
if [ ! -s "$list" ]; then
    echo "no test programs in $build/tests" >&2
    exit 1
fi

results="$logs/results"
# shellcheck disable=SC2016
xargs -P "$jobs" -L 1 sh -c '"$0" --one "$1" "$2" "$3"' "$root/scripts/shuffle-tests.sh" <"$list" | tee "$results"
passed=$(grep -c '^ok' "$results" || true)
failed=$(grep -c '^FAILED' "$results" || true)
echo "shuffled: $passed passed, $failed failed"
[ "$failed" = 0 ] && rm -rf "$logs"
[ "$failed" = 0 ]
