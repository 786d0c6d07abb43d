#!/bin/sh
# Audiomark, the runtime's audio layer beside LÖVE 11.4 (both on OpenAL Soft's default
# device, headless):
# 1. N copies of one looping sound effect (a one-second tone) playing at once for 10 s of
#    real time: the process CPU seconds (every thread) with N sounds and with none.
# 2. The main thread's audio work in a frame (each stream's state and volume, one effect
#    started and stopped) with 0 and 4 looping Ogg streams (the demo's game music) playing:
#    the mean frame in microseconds, the time the streams add, and the slowest frame.
#
#   bench/audiomark/run-audiomark.sh [N]      (default: 32)
#
# The runtime's side is build/bench/AudioMixBench (its own 10 s window). LÖVE's CPU time
# for 10 s is that of a 12 s run less that of a 2 s run, so start-up cancels out.
# AUDIO_ATTEMPTS runs of each (default 3); the lowest counts.
set -eu
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/bench/audiomark"
. "$root/bench/lib/side-by-side.sh"
command -v love >/dev/null 2>&1 || { echo "LÖVE (Debian package love) is needed" >&2; exit 1; }

build_headless AudioMixBench AudioStreamsBench demo

python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(44100)
    w.writeframes(b"".join(struct.pack("<h", int(16383 * math.sin(2 * math.pi * 440 * i / 44100)))
                           for i in range(44100)))
PY

# CPU seconds of the runtime's audio layer with $1 sounds over 10 s.
runtime_once() {
    "$root/build/bench/AudioMixBench" --benchmark_filter="^Mix/$1/" --benchmark_format=csv 2>/dev/null |
        python3 -c "
import csv, sys
rows = [r for r in csv.reader(sys.stdin) if r and r[0].startswith('Mix/')]
print(float(rows[0][3]))"
}

love_once() {
    short=$(AUDIO_COUNT="$1" AUDIO_SECONDS=2 AUDIO_SOUND="$work/tone.wav" python3 "$timed" love "$here/love" | cut -d' ' -f2)
    long=$(AUDIO_COUNT="$1" AUDIO_SECONDS=12 AUDIO_SOUND="$work/tone.wav" python3 "$timed" love "$here/love" | cut -d' ' -f2)
    python3 -c "print($long - $short)"
}

# The least of the attempts of $1 with $2 sounds.
least() {
    best=""
    i=0
    while [ "$i" -lt "${AUDIO_ATTEMPTS:-3}" ]; do
        v=$($1 "$2")
        best=$(python3 -c "b = '$best'; print($v if not b else min($v, float(b)))")
        i=$((i + 1))
    done
    echo "$best"
}

n="${1:-32}"
r0=$(least runtime_once 0); l0=$(least love_once 0)
rn=$(least runtime_once "$n"); ln=$(least love_once "$n")
python3 -c "
r0, l0, rn, ln = $r0, $l0, $rn, $ln
print('CPU seconds over 10 s      runtime     love    ratio')
print('no sound               %10.3f %8.3f %8.2f' % (r0, l0, r0 / max(l0, 1e-9)))
print('%3d sounds              %10.3f %8.3f %8.2f' % ($n, rn, ln, rn / max(ln, 1e-9)))
print('added by the sounds    %10.3f %8.3f %8.2f' % (rn - r0, ln - l0, (rn - r0) / max(ln - l0, 1e-9)))"

# "mean_us max_us" of a frame's audio calls with $1 streams.
ogg="$root/build/demo/Game/Base/Music/Game.ogg"
runtime_frame() {
    AUDIO_OGG="$ogg" "$root/build/bench/AudioStreamsBench" --benchmark_filter="^StreamsFrame/$1/" \
        --benchmark_format=csv 2>/dev/null | python3 -c "
import csv, sys
rows = list(csv.reader(sys.stdin))
head = rows[0]
row = [r for r in rows[1:] if r and r[0].startswith('StreamsFrame/')][0]
print(float(row[2]), float(row[head.index('max_us')]))"
}
love_frame() {
    AUDIO_STREAMS="$1" AUDIO_OGG="$ogg" AUDIO_WAV="$work/tone.wav" love "$here/love-streams"
}
rf0=$(runtime_frame 0); rf4=$(runtime_frame 4); lf0=$(love_frame 0); lf4=$(love_frame 4)
python3 -c "
r0, r4, l0, l4 = [list(map(float, x.split())) for x in ('$rf0', '$rf4', '$lf0', '$lf4')]
print()
print('main-thread audio per frame, us   runtime     love    ratio')
print('no stream                     %10.2f %8.2f %8.2f' % (r0[0], l0[0], r0[0] / l0[0]))
print('4 Ogg streams                 %10.2f %8.2f %8.2f' % (r4[0], l4[0], r4[0] / l4[0]))
print('added by the streams          %10.2f %8.2f' % (r4[0] - r0[0], l4[0] - l0[0]))
print('slowest frame, 4 streams      %10.1f %8.1f' % (r4[1], l4[1]))"
