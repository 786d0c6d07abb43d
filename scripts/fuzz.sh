#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each one for a number of seconds, starting from the seed corpus.
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
# Targets: pack datastream animation particle lua_text lua_chunk profiles charset sound picture video action_track texture (default: all).
# The growing corpus is kept in build-fuzz/corpus/<target>/, crash inputs in
# build-fuzz/crashes/<target>/. Exits non-zero when a target finds a fault.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" --fuzz

seconds="${1:-30}"
[ $# -gt 0 ] && shift
targets="${*:-pack datastream animation particle lua_text lua_chunk profiles charset sound picture video action_track texture}"

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUNTIME_FUZZ=ON -DRUNTIME_TESTS=OFF -DRUNTIME_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target fuzz_all

corpus="$build/corpus"
"$build/fuzz/fuzz_seeds" "$corpus"
mkdir -p "$corpus/lua_text" "$corpus/lua_chunk"
cp "$root"/fuzz/corpus/lua_text/*.lua "$corpus/lua_text/"
for script in "$root"/fuzz/corpus/lua_text/*.lua; do
    name="$(basename "$script" .lua)"
    luac5.1 -o "$corpus/lua_chunk/$name.luac" "$script"
    luac5.1 -s -o "$corpus/lua_chunk/$name-stripped.luac" "$script"
done

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
# Reports need function names: the leak suppressions beside the targets match by name.
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && ! command -v llvm-symbolizer >/dev/null 2>&1 \
        && [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for target in $targets; do
    crashes="$build/crashes/$target"
    mkdir -p "$crashes" "$corpus/$target"
    dict=""
    if [ -f "$root/fuzz/$target.dict" ]; then dict="-dict=$root/fuzz/$target.dict"; fi
    # Leaks inside system libraries a target reaches are listed beside it.
    lsan=""
    if [ -f "$root/fuzz/$target.lsan.supp" ]; then lsan="suppressions=$root/fuzz/$target.lsan.supp"; fi
    echo "== fuzz_$target for ${seconds}s"
    # shellcheck disable=SC2086
    if ! LSAN_OPTIONS="${LSAN_OPTIONS:-}${lsan:+:$lsan}" "$build/fuzz/fuzz_$target" "$corpus/$target" $dict -max_total_time="$seconds" \
            -timeout=10 -rss_limit_mb=2048 -max_len=8192 -artifact_prefix="$crashes/" \
            -print_final_stats=1 2>"$build/fuzz_$target.log"; then
        echo "fuzz_$target found a fault: see $build/fuzz_$target.log and $crashes/"
        tail -n 60 "$build/fuzz_$target.log"
        status=1
    else
        grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|cov:" \
            "$build/fuzz_$target.log" | tail -n 3
    fi
done
exit $status
