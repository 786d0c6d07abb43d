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
# The build stages the playable demo (scripts, generated pictures, packs) in
# build/demo/Game; any argument means "Base" must be named with -resource.
cd "$root/build/demo/Game"
exec "$root/build/launcher/Keldry" -resource Base -windowed "$@"
