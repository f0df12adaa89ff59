#!/usr/bin/env bash
# The .deb as a player gets it: builds it with cpack from the build folder, installs it with
# dpkg, checks the desktop entry and icons are where a desktop looks for them, starts
# /usr/bin/zorvane (the menu entry's command) from / on a private Xvfb, closes the window the
# way a window manager does and expects exit code 0. The package is removed again on every
# way out (trap).
#
# Usage: tests/package/test_deb.sh BUILD_DIR     (as root, on Debian; exit 77 = skipped)
# Registered with CTest as "package.deb" (label package) by cmake/Packaging.cmake.
set -euo pipefail

build_dir=${1:?usage: test_deb.sh BUILD_DIR}
build_dir=$(cd "$build_dir" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cpack=${ZORVANE_CPACK:-cpack}
python=/usr/bin/python3   # Debian's, with python3-xlib; a python3 earlier on PATH may lack it
sizes=(16 32 48 64 128 256)

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root (run as root or with sudo)"
command -v dpkg >/dev/null 2>&1 || skip "no dpkg: not a Debian system"

package_state() { dpkg-query -W -f='${db:Status-Status}' zorvane 2>/dev/null || true; }
# dpkg forgets a removed package that had no conffiles: no state at all is "absent" too
absent() { case "$(package_state)" in "" | not-installed | config-files) return 0 ;; esac; return 1; }
if ! absent; then
    skip "zorvane is already installed ($(package_state)); this test would replace it and" \
         "then remove it. Remove it first: dpkg -r zorvane"
fi

for tool in Xvfb:xvfb xdotool:xdotool xwd:x11-apps "$cpack":cmake timeout:coreutils; do
    command -v "${tool%%:*}" >/dev/null 2>&1 || fail "${tool%%:*} not found (Debian package ${tool#*:})"
done
[ -x "$python" ] || fail "$python not found (Debian package python3)"
"$python" -c 'import Xlib' 2>/dev/null || fail "$python cannot import Xlib (Debian package python3-xlib)"
[ -f "$build_dir/CPackConfig.cmake" ] || fail "$build_dir/CPackConfig.cmake missing: configure first"

work=$(mktemp -d /tmp/zorvane-deb-test.XXXXXX)
ours=0   # 1 from the moment dpkg may have put zorvane on the system

remove_package() {
    if ! absent; then
        timeout 120 dpkg -r zorvane || return 1
    fi
    ours=0
}

cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    if [ "$ours" -eq 1 ]; then
        echo "== cleanup: removing the package (dpkg -r zorvane)"
        remove_package || { echo "cleanup: dpkg -r zorvane failed" >&2; rc=1; }
    fi
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- 1. build the package ------------------------------------------------------------------
step "cpack in $build_dir"
(cd "$build_dir" && timeout 300 "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/cpack") \
    || fail "cpack failed"
debs=("$work"/cpack/zorvane_*.deb)
{ [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ]; } || fail "expected one zorvane_*.deb, found: ${debs[*]}"
deb=${debs[0]}
echo "built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zorvane ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
echo "Depends: $depends"
for lib in libsfml-graphics2.5 libsfml-window2.5 libsfml-system2.5 libsfml-audio2.5; do
    grep -Eq "(^|, )$lib(,| |$)" <<<"$depends" || fail "Depends does not name $lib"
done

# --- 2. install it --------------------------------------------------------------------------
step "dpkg -i $(basename "$deb")"
ours=1
set +e
timeout 300 dpkg -i "$deb" >"$work/dpkg.log" 2>&1
dpkg_rc=$?
set -e
cat "$work/dpkg.log"
if [ "$dpkg_rc" -ne 0 ]; then
    grep -q "dependency problems" "$work/dpkg.log" || fail "dpkg -i failed ($dpkg_rc)"
    step "dpkg reported missing dependencies: apt-get install -f -y"
    timeout 400 env DEBIAN_FRONTEND=noninteractive apt-get install -f -y -q \
        || fail "apt-get install -f could not satisfy the dependencies"
fi
[ "$(package_state)" = installed ] || fail "zorvane is '$(package_state)' after installing, not installed"

# --- 3. the files, where they belong and owned by the package --------------------------------
step "installed files"
owned() {
    [ -e "$1" ] || fail "$1 is missing"
    [[ "$(dpkg -S "$1" 2>/dev/null)" == "zorvane: $1" ]] || fail "$1 does not belong to the package"
}
owned /usr/bin/zorvane
[ -x /usr/bin/zorvane ] || fail "/usr/bin/zorvane is not executable"
owned /usr/share/zorvane/zorvane
[ "$(head -c 4 /usr/share/zorvane/zorvane | od -An -c | tr -d ' ')" = '177ELF' ] \
    || fail "/usr/share/zorvane/zorvane is not the compiled program"
for f in moneybill.png largebill.png playerclock.png moneybill_blank.png clockhand.png \
         smallclock.png LiberationMono-Bold.ttf digitalfont.ttf; do
    owned "/usr/share/zorvane/Content/$f"
    # a copy, so the game needs no font package at run time
    { [ -f "/usr/share/zorvane/Content/$f" ] && [ ! -L "/usr/share/zorvane/Content/$f" ]; } \
        || fail "/usr/share/zorvane/Content/$f is not a plain file"
done

desktop=/usr/share/applications/zorvane.desktop
owned "$desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = "Zorvane - Quendral" ] || fail "desktop Name is '$(entry Name)'"
[ "$(entry Exec)" = zorvane ] || fail "desktop Exec is '$(entry Exec)'"
[ "$(entry Icon)" = zorvane ] || fail "desktop Icon is '$(entry Icon)'"
[ "$(entry Type)" = Application ] || fail "desktop Type is '$(entry Type)'"
grep -Eq '^Categories=(.*;)?Game;(.*;)?ArcadeGame;' "$desktop" || fail "desktop Categories: $(entry Categories)"
[ -n "$(entry Comment)" ] || fail "desktop entry has no Comment"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
    echo "desktop-file-validate: ok"
else
    echo "desktop-file-validate not installed (package desktop-file-utils): not run"
fi

svg=/usr/share/icons/hicolor/scalable/apps/zorvane.svg
owned "$svg"
grep -q '<svg' "$svg" || fail "$svg is not an SVG image"
for size in "${sizes[@]}"; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/zorvane.png
    owned "$png"
    # PNG signature, then the IHDR chunk's width and height (big-endian) at bytes 16..23
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 ))
    h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
    { [ "$w" -eq "$size" ] && [ "$h" -eq "$size" ]; } || fail "$png is ${w}x${h}, not ${size}x${size}"
done
echo "desktop entry, scalable icon and ${#sizes[@]} PNG sizes in place"

# --- 4. start it as the menu does, from another folder, and close it -------------------------
step "run /usr/bin/zorvane from / on a private Xvfb"
cd /
set +e
timeout -k 10 150 "$python" - "$root/tests/e2e" <<'PY'
import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, sys.argv[1])
# A timeout's TERM unwinds the with-blocks below, which stop the game and Xvfb.
signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: stopped by the time limit"))

from harness import XServer  # noqa: E402

TITLE = "Zorvane - Quendral"


def fail(message):
    sys.exit("FAIL: " + message)


with XServer(width=1024, height=1024, depth=24) as xs:
    print("Xvfb on display %s" % xs.display_name)
    with xs.launch("/usr/bin/zorvane", cwd="/") as game:
        found = []
        deadline = time.monotonic() + 30
        while not found:
            if not game.running():
                fail("the game exited (code %r) before its window appeared; stderr: %s"
                     % (game.proc.returncode, game.stderr_text()))
            if time.monotonic() > deadline:
                fail("no window named %r within 30 s" % TITLE)
            res = subprocess.run(["xdotool", "search", "--name", "^%s$" % TITLE], env=xs.env(),
                                 stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
            found = [int(w) for w in res.stdout.split()] if res.returncode == 0 else []
            if not found:
                time.sleep(0.1)
        print("xdotool found the window %r: %s" % (TITLE, " ".join(hex(w) for w in found)))

        # The launcher replaced itself with the program, started in its share folder.
        exe = os.readlink("/proc/%d/exe" % game.pid)
        cwd = os.readlink("/proc/%d/cwd" % game.pid)
        print("process %d: exe %s, cwd %s" % (game.pid, exe, cwd))
        if exe != "/usr/share/zorvane/zorvane":
            fail("the running program is %s, not /usr/share/zorvane/zorvane" % exe)
        if cwd != "/usr/share/zorvane":
            fail("the game runs in %s, not /usr/share/zorvane" % cwd)

        window = game.wait_for_window(timeout=10)
        if window.id not in found:
            fail("the game's own window %#x is not among those xdotool found" % window.id)
        game.wait_for_frame(timeout=15)  # the menu is drawn: its content loaded
        time.sleep(1.0)
        if not game.running():
            fail("the game quit by itself (code %r); stdout: %s"
                 % (game.proc.returncode, game.stdout_text()))

        game.close()  # WM_DELETE_WINDOW, as a window manager's close button sends
        code = game.wait_exit(10)
        if code is None:
            fail("the game did not exit within 10 s of the close request")
        out = game.stdout_text()
        print("exit code %d after WM_DELETE_WINDOW" % code)
        if "Could not load" in out:
            fail("the game could not load its content: %s" % out.strip())
        if code != 0:
            fail("exit code %d, expected 0; stderr: %s" % (code, game.stderr_text()))
PY
run_rc=$?
set -e
[ "$run_rc" -eq 0 ] || fail "running the installed game failed (code $run_rc)"

# --- 5. remove it again, leaving nothing behind ----------------------------------------------
step "dpkg -r zorvane"
remove_package || fail "dpkg -r zorvane failed"
absent || fail "zorvane is '$(package_state)' after dpkg -r"
for gone in /usr/bin/zorvane /usr/share/zorvane "$desktop" "$svg"; do
    [ ! -e "$gone" ] || fail "$gone is still there after dpkg -r"
done
echo "package test: passed"
