#!/bin/sh
# Character benchmark: N character animations of eight looping frames, each with its
# shadow, standing on a 1024x768 screen, in Keldry; against LÖVE 11.4 drawing N sprites
# that switch through the same eight frames as quads of one picture every frame, each
# over the same shadow. Both headless on this machine, vsync off, with a read-back of
# the last frame.
#
#   bench/charactermark/run-charactermark.sh [N ...]      (default: 1000)
#
# Frames per second come from two runs of each program that differ only in their
# number of frames: (F2 - F1) / (t2 - t1), so start-up, loading and the final read-back
# cancel out. The programs take turns, CHARACTER_ATTEMPTS pairs each (default 3); the
# best pair of each counts. Frames per CPU second are printed too.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/charactermark"
timed="$root/bench/bunnymark/timed.py"

command -v love >/dev/null 2>&1 || { echo "LÖVE is missing: run bench/bunnymark/run-bunnymark.sh once" >&2; exit 1; }
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target Keldry demo MakeDemoData >/dev/null
. "$root/scripts/headless-env.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/docs" "$work/settings/Charactermark" "$work/pictures"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base" "$work/bunny.png" "$work/pictures"
game="$root/build/demo/Game"

# "wall cpu" seconds of one Keldry run of $1 animations and $2 frames.
keldry_run() {
    printf 'Bench = { count = %s, frames = %s }\n' "$1" "$2" > "$work/settings/Charactermark/Settings.lua"
    (cd "$game" && KELDRY_TEST_FIXED_DELTA=0.0166666675 KELDRY_TEST_SNAPSHOT="$work/keldry.bmp" \
        python3 "$timed" "$root/build/launcher/Keldry" -resource Base -resource "$here/keldry" \
        -resource "$work/settings" -script Charactermark/Startup.lua -windowed)
    [ -s "$work/keldry.bmp" ] || { echo "Keldry made no read-back" >&2; exit 1; }
    rm -f "$work/keldry.bmp"
}

# "wall cpu" seconds of one LÖVE run of $1 sprites and $2 frames.
love_run() {
    CHARACTER_COUNT="$1" CHARACTER_FRAMES="$2" CHARACTER_PICTURES="$work/pictures" \
        CHARACTER_SNAPSHOT="$work/love.png" python3 "$timed" love "$here/love"
    [ -s "$work/love.png" ] || { echo "LÖVE made no read-back" >&2; exit 1; }
    rm -f "$work/love.png"
}

fps_once() {
    r1=$($1 "$2" "$3")
    r2=$($1 "$2" "$4")
    python3 -c "
w1, c1 = map(float, '$r1'.split()); w2, c2 = map(float, '$r2'.split())
print(($4 - $3) / max(w2 - w1, 1e-9), ($4 - $3) / max(c2 - c1, 1e-9))"
}

best() { python3 -c "a = '$1'.split(); b = '$2'.split(); print(*[max(float(x), float(y)) for x, y in zip(a, b)])"; }

counts="${*:-1000}"
attempts="${CHARACTER_ATTEMPTS:-3}"
printf '%8s %12s %12s %8s   %14s %14s %8s\n' N keldry_fps love_fps ratio keldry_f/cpu_s love_f/cpu_s ratio
for n in $counts; do
    f1=100
    f2=700
    k="0 0"
    l="0 0"
    i=0
    while [ "$i" -lt "$attempts" ]; do
        k=$(best "$k" "$(fps_once keldry_run "$n" "$f1" "$f2")")
        l=$(best "$l" "$(fps_once love_run "$n" "$f1" "$f2")")
        i=$((i + 1))
    done
    python3 -c "
k = [float(x) for x in '$k'.split()]; l = [float(x) for x in '$l'.split()]
print('%8d %12.1f %12.1f %8.2f   %14.2f %14.2f %8.2f' % ($n, k[0], l[0], k[0] / l[0], k[1], l[1], k[1] / l[1]))"
done
