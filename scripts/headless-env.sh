# Sourced by the test scripts: SDL's offscreen driver on Mesa's software renderer,
# OpenAL Soft's null back-end, and a private runtime folder.
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
export LIBGL_ALWAYS_SOFTWARE=1
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
fi
