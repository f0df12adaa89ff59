#!/usr/bin/env bash
# The Windows zip as a player unpacks it, under wine: the driver's smoke check (the window, a tap
# on PLAY, Escape, the close, 0); without Content/, the four failure lines (CRLF) and 0.   (ZIP)
set -euo pipefail
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
unzip -q "$1" -d "$work/game"
fresh_wine() { wineserver -k 2>/dev/null || true; wineserver -w; } # its desktop on this display
fresh_wine
/usr/bin/python3 "$tools/driver.py" smoke --click --cwd "$work/game" -- wine zorvane.exe
mkdir "$work/bare" && cp "$work/game/zorvane.exe" "$work/game/OpenAL32.dll" "$work/bare/"
fresh_wine
out=$(cd "$work/bare" && wine zorvane.exe | od -c)
want=$(printf 'Could not load file from: Content/%s\r\nCould not load image: %s\r\n' \
    moneybill.png Bill largebill.png "Large bill" | od -c)
[ "$out" = "$want" ] || { echo "FAIL: without Content/:"; echo "$out"; exit 1; }
echo "zip test: passed"
