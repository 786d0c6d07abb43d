#!/bin/sh
# Bunnymark: N sprites of one 32x32 alpha-blended picture moved every frame by a Lua
# function and bouncing off the edges of a 1024x768 screen, in Keldry and in LÖVE 11.4,
# both headless on this machine, vsync off, with a read-back of the last frame.
#
#   bench/bunnymark/run-bunnymark.sh [N ...]      (default: 10000 50000)
#   BUNNY_TEXTURES=2 bench/bunnymark/run-bunnymark.sh [N ...]
#
# With BUNNY_TEXTURES=2 every other bunny shows a second 32x32 picture, so that the
# sprites in drawing order alternate between two textures.
#
# Frames per second come from two runs of each program that differ only in their
# number of frames: (F2 - F1) / (t2 - t1), so start-up, loading and the final
# read-back cancel out. The programs take turns, BUNNY_ATTEMPTS pairs each (default 3);
# the best pair of each counts. Frames per CPU second (the program and all its threads,
# Mesa's rasterizer included) are printed too: they depend less on other load.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/bunnymark"
. "$root/bench/lib/side-by-side.sh"

install_love
"$root/scripts/setup.sh"
build_headless Keldry demo MakeDemoData

textures="${BUNNY_TEXTURES:-1}"
case "$textures" in 1 | 2) ;; *) echo "BUNNY_TEXTURES is 1 or 2" >&2; exit 2 ;; esac
mkdir -p "$work/docs" "$work/settings/Bunnymark" "$work/pictures"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base" "$work/bunny.png" "$work/pictures"
game="$root/build/demo/Game"
second=""
[ "$textures" = 2 ] && second="$work/pictures/BunnyTwo.png"

# "wall cpu" seconds of one Keldry run of $1 bunnies and $2 frames.
keldry_run() {
    printf 'Bench = { count = %s, frames = %s, textures = %s }\n' "$1" "$2" "$textures" \
        > "$work/settings/Bunnymark/Settings.lua"
    keldry_timed Bunnymark
}

# "wall cpu" seconds of one LÖVE run of $1 bunnies and $2 frames.
love_run() {
    if [ -n "$second" ]; then
        BUNNY_IMAGE2="$second" BUNNY_COUNT="$1" BUNNY_FRAMES="$2" BUNNY_IMAGE="$work/bunny.png" \
            BUNNY_SNAPSHOT="$work/love.png" love_timed
    else
        BUNNY_COUNT="$1" BUNNY_FRAMES="$2" BUNNY_IMAGE="$work/bunny.png" BUNNY_SNAPSHOT="$work/love.png" love_timed
    fi
}

counts="${*:-10000 50000}"
attempts="${BUNNY_ATTEMPTS:-3}"
echo "bunnies alternating between $textures texture(s)"
count_heading
for n in $counts; do
    # Fewer frames for big scenes keep the run short; the difference stays large.
    if [ "$n" -ge 30000 ]; then f1=20; f2=120; else f1=50; f2=350; fi
    take_turns "$f1" "$f2" "$n"
    count_row "$n"
done
