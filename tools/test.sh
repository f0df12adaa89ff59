#!/usr/bin/env bash
# Sets up what is missing (with the test tools), builds everything and runs the whole suite:
# unit tests, end-to-end tests against the real program, under a virtual display when there
# is no display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${ZORVANE_BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh" --test
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZORVANE_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"
cd "$build"
if [ -n "${DISPLAY:-}" ]; then
    ctest --output-on-failure -j"$(nproc)"
else
    xvfb-run -a -s "-screen 0 1024x1024x24" ctest --output-on-failure -j"$(nproc)"
fi
