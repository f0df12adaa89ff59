#!/usr/bin/env bash
# Sets up what is missing, builds the game in Release and starts it from its runnable folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${ZORVANE_BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZORVANE_BUILD_TESTS=OFF
cmake --build "$build" --target zorvane -j"$(nproc)"
cd "$build"
exec ./zorvane
