#!/bin/sh
# Text benchmark: N text objects of 40 characters in the demo's bitmap font, the text
# of every object changed every frame, in Keldry ("Text" objects) and in LÖVE 11.4
# (an image font from the same glyph picture, love.graphics.print per text per frame),
# both headless on this machine, vsync off, with a read-back of the last frame.
#
#   bench/textmark/run-textmark.sh [N ...]      (default: 200)
#
# Frames per second come from two runs of each program that differ only in their
# number of frames: (F2 - F1) / (t2 - t1), so start-up, loading and the final
# read-back cancel out. The programs take turns, TEXT_ATTEMPTS pairs each (default 3);
# the best pair of each counts. Frames per CPU second are printed too.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/textmark"
timed="$root/bench/bunnymark/timed.py"

if ! command -v love >/dev/null 2>&1; then
    echo "Installing LÖVE (Debian package love)..." >&2
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y love >/dev/null
    else
        sudo DEBIAN_FRONTEND=noninteractive apt-get install -y love >/dev/null
    fi
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target Keldry demo MakeDemoData >/dev/null
. "$root/scripts/headless-env.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/docs" "$work/settings/Textmark"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base"
game="$root/build/demo/Game"

# "wall cpu" seconds of one Keldry run of $1 texts and $2 frames.
keldry_run() {
    printf 'Bench = { count = %s, frames = %s }\n' "$1" "$2" > "$work/settings/Textmark/Settings.lua"
    (cd "$game" && KELDRY_TEST_FIXED_DELTA=0.0166666675 KELDRY_TEST_SNAPSHOT="$work/keldry.bmp" \
        python3 "$timed" "$root/build/launcher/Keldry" -resource Base -resource "$here/keldry" \
        -resource "$work/settings" -script Textmark/Startup.lua -windowed)
    [ -s "$work/keldry.bmp" ] || { echo "Keldry made no read-back" >&2; exit 1; }
    rm -f "$work/keldry.bmp"
}

# "wall cpu" seconds of one LÖVE run of $1 texts and $2 frames.
love_run() {
    TEXT_COUNT="$1" TEXT_FRAMES="$2" TEXT_FONT_IMAGE="$work/Base/Fonts/Demo.png" TEXT_SNAPSHOT="$work/love.png" \
        python3 "$timed" love "$here/love"
    [ -s "$work/love.png" ] || { echo "LÖVE made no read-back" >&2; exit 1; }
    rm -f "$work/love.png"
}

# "fps fps_per_cpu_second" of runner $1 with $2 texts from one pair of runs of $3 and $4 frames.
fps_once() {
    r1=$($1 "$2" "$3")
    r2=$($1 "$2" "$4")
    python3 -c "
w1, c1 = map(float, '$r1'.split()); w2, c2 = map(float, '$r2'.split())
print(($4 - $3) / max(w2 - w1, 1e-9), ($4 - $3) / max(c2 - c1, 1e-9))"
}

# The larger of each column of two "a b" pairs.
best() { python3 -c "a = '$1'.split(); b = '$2'.split(); print(*[max(float(x), float(y)) for x, y in zip(a, b)])"; }

counts="${*:-200}"
attempts="${TEXT_ATTEMPTS:-3}"
f1="${TEXT_FRAMES_SHORT:-100}"
f2="${TEXT_FRAMES_LONG:-600}"
printf '%8s %12s %12s %8s   %14s %14s %8s\n' N keldry_fps love_fps ratio keldry_f/cpu_s love_f/cpu_s ratio
for n in $counts; do
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
