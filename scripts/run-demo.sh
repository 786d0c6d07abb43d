#!/bin/sh
# Builds the program and the demo data (nothing else) and runs the demo game in a
# window (offscreen when there is no display).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" -j "$(nproc)" --target Keldry demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # A runtime folder of our own in the build tree: the program replaces this shell,
    # so nothing would be left to remove a temporary one.
    XDG_RUNTIME_DIR="$root/build/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
    . "$root/scripts/headless-env.sh"
fi
# The build stages the playable demo (scripts, generated pictures, packs) in
# build/demo/Game; any argument means "Base" must be named with -resource.
cd "$root/build/demo/Game"
exec "$root/build/launcher/Keldry" -resource Base -windowed "$@"
