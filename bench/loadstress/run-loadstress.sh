#!/bin/sh
# Load stress: the loading screen (main thread) and the state it loads (loader thread)
# make the same engine-wide script calls many times at once: volumes with a music fade
# running, a property both set and one each of their own, profile saves, sprites bound
# by the same names (position, priority, show, texture, full texture rectangle) that the
# loading frames draw, and music changes. Meant for a ThreadSanitizer build:
#
#   cmake -S . -B build-tsan -G Ninja -DRUNTIME_SANITIZE_THREADS=ON -DRUNTIME_BENCH=OFF \
#       -DCMAKE_BUILD_TYPE=Debug && cmake --build build-tsan --target Keldry
#   bench/loadstress/run-loadstress.sh build-tsan/launcher/Keldry
#
# Prints the program's output (the sanitizer's reports among it), the number of calls the
# loading screen made while the state loaded, and the exit status (66 when the sanitizer
# reported anything; reports whose frames are all in OpenAL or Mesa are theirs, not ours).
set -eu
keldry="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$here/Base" "$work/Base"
# Three textures of different sizes and three short tones, made here.
python3 - "$work/Base/Loading" <<'PY'
import math, struct, sys, wave, zlib
folder = sys.argv[1]
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
for k in (1, 2, 3):
    w, h = 16 * k, 8 * k + 1
    rows = b''.join(b'\x00' + b'\xff\x80\x40\xff' * w for _ in range(h))
    with open('%s/Tex%d.png' % (folder, k), 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
                  chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))
    tone = wave.open('%s/Tone%d.wav' % (folder, k), 'wb')
    tone.setnchannels(1)
    tone.setsampwidth(2)
    tone.setframerate(22050)
    tone.writeframes(b''.join(struct.pack('<h', int(8000 * math.sin(i * 0.05 * k))) for i in range(22050)))
    tone.close()
PY
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null OMP_NUM_THREADS=1
export XDG_DOCUMENTS_DIR="$work/docs" XDG_RUNTIME_DIR="$work"
mkdir -p "$work/docs"
status=0
(cd "$work" && timeout 600 "$keldry" -resource Base -windowed -nosound) || status=$?
grep -A2 "STRESS ENDS" "$work/docs/Vexa.log" | sed -n 3p | sed 's/Value data: /calls the loading screen had made when the loading state ended its own: /' || true
echo "exit status $status"
