#!/usr/bin/env bash
# Runs the Windows build's unit tests through CTest, wine being the cross-compiling emulator, on a
# virtual display when there is none:  wine-ctest.sh BUILD_DIR [ctest options...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}"
# No downloads of wine's .NET and HTML engines, which would stop at a dialog, and no debugger
# on a crash, which would wait for ever: the test fails with the crash's exit code instead.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$build" "$@"
fi
bash "$(dirname "$0")/wine-up.sh"
trap 'wineserver -k' EXIT
cd "$build" && ctest --output-on-failure --no-tests=error -L unit "$@"
