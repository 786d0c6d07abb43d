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
. "$root/bench/lib/side-by-side.sh"

command -v love >/dev/null 2>&1 || { echo "LÖVE is missing: run bench/bunnymark/run-bunnymark.sh once" >&2; exit 1; }
build_headless Keldry demo MakeDemoData

mkdir -p "$work/docs" "$work/settings/Charactermark" "$work/pictures"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base" "$work/bunny.png" "$work/pictures"
game="$root/build/demo/Game"

# "wall cpu" seconds of one Keldry run of $1 animations and $2 frames.
keldry_run() {
    printf 'Bench = { count = %s, frames = %s }\n' "$1" "$2" > "$work/settings/Charactermark/Settings.lua"
    keldry_timed Charactermark
}

# "wall cpu" seconds of one LÖVE run of $1 sprites and $2 frames.
love_run() {
    CHARACTER_COUNT="$1" CHARACTER_FRAMES="$2" CHARACTER_PICTURES="$work/pictures" \
        CHARACTER_SNAPSHOT="$work/love.png" love_timed
}

counts="${*:-1000}"
attempts="${CHARACTER_ATTEMPTS:-3}"
count_heading
for n in $counts; do
    take_turns 100 700 "$n"
    count_row "$n"
done
