#!/usr/bin/env bash
# The Windows build's tests under wine, on a virtual display when there is none: its unit tests
# through CTest (wine is the cross-compiling emulator) and the zip as a player unpacks it.
#     wine-tests.sh BUILD_DIR ZIP [ctest options...]
set -euo pipefail
build=$(cd "$1" && pwd)
zip=$(realpath "$2")
shift 2
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}"
# No downloads of wine's .NET and HTML engines, which would stop at a dialog, and no debugger
# on a crash, which would wait for ever: a crash fails the test at once.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$build" "$zip" "$@"
fi
# One wine server for the whole run, started before any test program: the first program of a
# fresh server, started beside another, was seen to hang.
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p
wine cmd /c exit
trap 'wineserver -k' EXIT
(cd "$build" && ctest --output-on-failure --no-tests=error -L unit "$@")
bash "$(dirname "$0")/../tests/windows/test_zip.sh" "$zip"
