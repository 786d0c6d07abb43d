# Sourced by the test scripts: SDL's offscreen driver on Mesa's software renderer,
# OpenAL Soft's null back-end, and a private runtime folder.
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
export LIBGL_ALWAYS_SOFTWARE=1
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
# A runtime folder made here is removed when the sourcing shell exits.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
    headless_runtime_dir="$XDG_RUNTIME_DIR"
    trap 'rm -rf "$headless_runtime_dir"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
fi
