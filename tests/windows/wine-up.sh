#!/usr/bin/env bash
# Readies wine for a test run on $DISPLAY: makes the prefix ($WINEPREFIX) if need be, then starts
# one wine server that stays for the whole run, with its desktop on this display before any test
# program starts (the first program of a fresh server, started beside another, was seen to hang).
# `wineserver -k` ends it.
set -euo pipefail
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wineserver -w # the server that wineboot (or an earlier run) left must end before ours starts
wineserver -p
wine cmd /c exit
