#!/bin/sh
# Kills the real program with SIGKILL while it saves its profiles on every frame,
# many times in a row, and checks after every kill that the profiles file is whole.
#   scripts/profile-kills.sh [kills, default 1000]
# Needs a build in build/ (the e2e test program and Keldry).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
kills="${1:-1000}"
. "$root/scripts/headless-env.sh"
cmake --build "$root/build" --target e2e_ProfilesRunTest Keldry
KELDRY_PROFILE_KILLS="$kills" "$root/build/tests/e2e/e2e_ProfilesRunTest" \
    --gtest_filter='ProfilesRunTest.AProgramKilledWhileSavingLeavesAWholeFile'
