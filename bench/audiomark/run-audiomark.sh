#!/bin/sh
# Audiomark: N copies of one looping sound effect playing at once for 10 s of real time, in
# Keldry and in LÖVE 11.4 (both on OpenAL Soft), headless, frames paced to about 60 a
# second. Prints each program's process CPU seconds (all threads: OpenAL's mixer, the
# feeder, drawing) for the 10 s with N sounds and with none, and the ratios.
#
#   bench/audiomark/run-audiomark.sh [N]      (default: 32)
#
# The CPU time of a run of 2 s is taken off that of a run of 12 s, so start-up, loading
# and shutdown cancel out. AUDIO_ATTEMPTS pairs of runs each (default 3); the lowest counts.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/audiomark"
timed="$root/bench/bunnymark/timed.py"
command -v love >/dev/null 2>&1 || { echo "LÖVE (Debian package love) is needed" >&2; exit 1; }

cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target Keldry demo >/dev/null
. "$root/scripts/headless-env.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/docs" "$work/settings/Audiomark"
export XDG_DOCUMENTS_DIR="$work/docs"
game="$root/build/demo/Game"
sound="Sounds/Bounce.wav"  # the demo's effect, 0.08 s, looped

# CPU seconds of one Keldry run of $1 sounds for $2 seconds.
keldry_run() {
    printf 'Bench = { count = %s, seconds = %s, sound = "%s" }\n' "$1" "$2" "$sound" \
        > "$work/settings/Audiomark/Settings.lua"
    (cd "$game" && python3 "$timed" "$root/build/launcher/Keldry" -resource Base -resource "$here/keldry" \
        -resource "$work/settings" -script Audiomark/Startup.lua -windowed) | cut -d' ' -f2
}

love_run() {
    AUDIO_COUNT="$1" AUDIO_SECONDS="$2" AUDIO_SOUND="$game/Base/$sound" \
        python3 "$timed" love "$here/love" | cut -d' ' -f2
}

# CPU seconds of $1 with $2 sounds over 10 s: the least of the attempts.
cpu10() {
    best=""
    i=0
    while [ "$i" -lt "${AUDIO_ATTEMPTS:-3}" ]; do
        short=$($1 "$2" 2)
        long=$($1 "$2" 12)
        best=$(python3 -c "v = $long - $short; b = '$best'; print(v if not b else min(v, float(b)))")
        i=$((i + 1))
    done
    echo "$best"
}

n="${1:-32}"
k0=$(cpu10 keldry_run 0); l0=$(cpu10 love_run 0)
kn=$(cpu10 keldry_run "$n"); ln=$(cpu10 love_run "$n")
python3 -c "
k0, l0, kn, ln = $k0, $l0, $kn, $ln
print('CPU seconds over 10 s       keldry     love    ratio')
print('no sound               %10.3f %8.3f %8.2f' % (k0, l0, k0 / l0))
print('%3d sounds              %10.3f %8.3f %8.2f' % ($n, kn, ln, kn / ln))
print('added by the sounds    %10.3f %8.3f %8.2f' % (kn - k0, ln - l0, (kn - k0) / max(ln - l0, 1e-9)))"
