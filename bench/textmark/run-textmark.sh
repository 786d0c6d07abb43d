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
. "$root/bench/lib/side-by-side.sh"

install_love
"$root/scripts/setup.sh"
build_headless Keldry demo MakeDemoData

mkdir -p "$work/docs" "$work/settings/Textmark"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base"
game="$root/build/demo/Game"

# "wall cpu" seconds of one Keldry run of $1 texts and $2 frames.
keldry_run() {
    printf 'Bench = { count = %s, frames = %s }\n' "$1" "$2" > "$work/settings/Textmark/Settings.lua"
    keldry_timed Textmark
}

# "wall cpu" seconds of one LÖVE run of $1 texts and $2 frames.
love_run() {
    TEXT_COUNT="$1" TEXT_FRAMES="$2" TEXT_FONT_IMAGE="$work/Base/Fonts/Demo.png" TEXT_SNAPSHOT="$work/love.png" \
        love_timed
}

counts="${*:-200}"
attempts="${TEXT_ATTEMPTS:-3}"
f1="${TEXT_FRAMES_SHORT:-100}"
f2="${TEXT_FRAMES_LONG:-600}"
count_heading
for n in $counts; do
    take_turns "$f1" "$f2" "$n"
    count_row "$n"
done
