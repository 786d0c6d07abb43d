#!/bin/sh
# Effects benchmark, side by side with LÖVE 11.4, both headless on this machine, vsync off,
# with a read-back of the last frame:
#   particles  200 particle systems of up to 500 particles each (lives of 2 s, 500 born a
#              second, so every system stays full), one 16x16 picture;
#   mesh       one 64x64-cell distortion mesh over the whole screen, every node moved
#              every frame by the script (LÖVE: a Mesh of the same vertex count, each
#              vertex set every frame).
#
#   bench/effects/run-effects.sh [scene ...]      (default: particles mesh)
#
# Frames per second come from two runs of each program that differ only in their number
# of frames: (F2 - F1) / (t2 - t1), so start-up, loading and the read-back cancel out.
# The programs take turns, EFFECT_ATTEMPTS pairs each (default 3); the best pair of each
# counts. Frames per CPU second are printed too: they depend less on other load.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/effects"
. "$root/bench/lib/side-by-side.sh"

install_love
"$root/scripts/setup.sh"
build_headless Keldry demo MakeDemoData

mkdir -p "$work/docs" "$work/settings/Effects"
export XDG_DOCUMENTS_DIR="$work/docs"
"$root/build/demo/MakeDemoData" "$work/Base"
game="$root/build/demo/Game"

# The particle description of the scene, as LÖVE's systems are set up in love/main.lua.
python3 - "$work/settings/Effects/Bench.psi" <<'PY'
import struct, sys
fields = struct.pack('<Ii5f4B', 0, 500, -1.0, 2.0, 2.0, 0.0, 6.2831853, 0, 0, 0, 0)
fields += struct.pack('<8f', 20, 60, 10, 20, 0, 0, 0, 0)
fields += struct.pack('<6f', 1.0, 0.5, 0.0, 0.0, 2.0, 0.0)
fields += struct.pack('<10f', 1, 0.8, 0.3, 1, 1, 0.2, 0.1, 0, 0, 0)
assert len(fields) == 128
open(sys.argv[1], 'wb').write(fields)
PY

# "wall cpu" seconds of one Keldry run of scene $1, count $2, $3 frames.
keldry_run() {
    printf "Bench = { scene = '%s', count = %s, frames = %s }\n" "$1" "$2" "$3" > "$work/settings/Effects/Settings.lua"
    keldry_timed Effects
}

# "wall cpu" seconds of one LÖVE run of scene $1, count $2, $3 frames.
love_run() {
    EFFECT_SCENE="$1" EFFECT_COUNT="$2" EFFECT_FRAMES="$3" EFFECT_SPARK="$work/Base/Textures/Spark.png" \
        EFFECT_FIELD="$work/Base/Textures/GameBackground.png" EFFECT_SNAPSHOT="$work/love.png" love_timed
}

scenes="${*:-particles mesh}"
attempts="${EFFECT_ATTEMPTS:-3}"
printf '%10s %6s %12s %12s %8s   %14s %14s %8s\n' scene count keldry_fps love_fps ratio keldry_f/cpu_s love_f/cpu_s ratio
for scene in $scenes; do
    case "$scene" in
        particles) count=200; f1=100; f2=250 ;;
        mesh) count=64; f1=50; f2=350 ;;
        *) echo "unknown scene $scene" >&2; exit 2 ;;
    esac
    take_turns "$f1" "$f2" "$scene" "$count"
    python3 -c "
k = [float(x) for x in '$k'.split()]; l = [float(x) for x in '$l'.split()]
print('%10s %6d %12.1f %12.1f %8.2f   %14.2f %14.2f %8.2f' % ('$scene', $count, k[0], l[0], k[0] / l[0], k[1], l[1], k[1] / l[1]))"
done
