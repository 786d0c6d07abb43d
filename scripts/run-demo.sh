#!/bin/sh
# Builds the project and runs the demo game in a window (offscreen when there is no display).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" -j "$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    . "$root/scripts/headless-env.sh"
fi
cd "$root/demo"
exec "$root/build/launcher/Keldry" -windowed "$@"
