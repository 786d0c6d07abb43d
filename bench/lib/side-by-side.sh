# The parts the side-by-side benchmarks (the runtime beside LÖVE 11.4, both headless on
# this machine) have in common. Sourced by bench/*/run-*.sh once they have set `root`
# (the checkout) and `here` (their own folder); plain POSIX sh, under `set -eu`.
#
# Frames per second come from two runs of each program that differ only in their number
# of frames: (F2 - F1) / (t2 - t1), so start-up, loading and the final read-back cancel
# out. A script defines keldry_run and love_run, each printing the "wall cpu" seconds of
# one run whose last argument is the number of frames.

# Runs a command, prints "wall cpu" seconds (the command and all its threads).
timed="$root/bench/bunnymark/timed.py"

# Installs LÖVE (Debian package love) when it is missing.
install_love() {
    if ! command -v love >/dev/null 2>&1; then
        echo "Installing LÖVE (Debian package love)..." >&2
        if [ "$(id -u)" -eq 0 ]; then
            DEBIAN_FRONTEND=noninteractive apt-get install -y love >/dev/null
        else
            sudo DEBIAN_FRONTEND=noninteractive apt-get install -y love >/dev/null
        fi
    fi
}

# Builds the targets "$@" quietly, enters the headless environment and makes the
# scratch folder $work, removed on exit.
build_headless() {
    cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
    cmake --build "$root/build" -j "$(nproc)" --target "$@" >/dev/null
    . "$root/scripts/headless-env.sh"
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
}

# "wall cpu" seconds of one Keldry run of the demo game ($game) with the scene's own
# scripts ($here/keldry) and $work/settings, started by the script $1/Startup.lua.
keldry_timed() {
    (cd "$game" && KELDRY_TEST_FIXED_DELTA=0.0166666675 KELDRY_TEST_SNAPSHOT="$work/keldry.bmp" \
        python3 "$timed" "$root/build/launcher/Keldry" -resource Base -resource "$here/keldry" \
        -resource "$work/settings" -script "$1/Startup.lua" -windowed)
    [ -s "$work/keldry.bmp" ] || { echo "Keldry made no read-back" >&2; exit 1; }
    rm -f "$work/keldry.bmp"
}

# "wall cpu" seconds of one LÖVE run of $here/love, set up by the caller's environment.
love_timed() {
    python3 "$timed" love "$here/love"
    [ -s "$work/love.png" ] || { echo "LÖVE made no read-back" >&2; exit 1; }
    rm -f "$work/love.png"
}

# "fps fps_per_cpu_second" of the runner "$3" "$4"... from one pair of its runs, of $1
# and of $2 frames.
fps_once() {
    frames_short=$1 frames_long=$2
    shift 2
    r1=$("$@" "$frames_short")
    r2=$("$@" "$frames_long")
    python3 -c "
w1, c1 = map(float, '$r1'.split()); w2, c2 = map(float, '$r2'.split())
print(($frames_long - $frames_short) / max(w2 - w1, 1e-9), ($frames_long - $frames_short) / max(c2 - c1, 1e-9))"
}

# The larger of each column of two "a b" pairs.
best() { python3 -c "a = '$1'.split(); b = '$2'.split(); print(*[max(float(x), float(y)) for x, y in zip(a, b)])"; }

# Into $k (Keldry) and $l (LÖVE): the best "fps fps_per_cpu_second" of $attempts pairs
# of runs of $1 and $2 frames, keldry_run and love_run given "$3"... before the frames.
# The two programs take turns, so a busy spell of the machine hits both.
take_turns() {
    frames_short=$1 frames_long=$2
    shift 2
    k="0 0"
    l="0 0"
    i=0
    while [ "$i" -lt "$attempts" ]; do
        k=$(best "$k" "$(fps_once "$frames_short" "$frames_long" keldry_run "$@")")
        l=$(best "$l" "$(fps_once "$frames_short" "$frames_long" love_run "$@")")
        i=$((i + 1))
    done
}

# The table of the scenes given by a count N: its heading, and the row of $1 from $k and $l.
count_heading() {
    printf '%8s %12s %12s %8s   %14s %14s %8s\n' N keldry_fps love_fps ratio keldry_f/cpu_s love_f/cpu_s ratio
}
count_row() {
    python3 -c "
k = [float(x) for x in '$k'.split()]; l = [float(x) for x in '$l'.split()]
print('%8d %12.1f %12.1f %8.2f   %14.2f %14.2f %8.2f' % ($1, k[0], l[0], k[0] / l[0], k[1], l[1], k[1] / l[1]))"
}
