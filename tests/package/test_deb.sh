#!/usr/bin/env bash
# The Debian package as a player gets it: built from a copy of the tree (repository and build
# folders stay clean), linted, installed with apt, run as /usr/games/zorvane from / on a private
# Xvfb, purged without a trace. As root on Debian (else exit 77 = skipped).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' "$@" 2>/dev/null | grep -q ' installed'; }
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
! installed zorvane || { echo "SKIP: zorvane is installed already; purge it first"; exit 77; }
work=$(mktemp -d /tmp/zorvane-deb.XXXXXX) && chmod 755 "$work"   # apt reads the .deb as _apt
trap 'if installed zorvane; then apt-get purge -y -q zorvane >/dev/null; fi; rm -rf "$work"' EXIT
mkdir "$work/src" && tar -C "$root" --exclude=./.git --exclude='./build*' -cf - . | tar -C "$work/src" -xf -
(cd "$work/src" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log"; fail "dpkg-buildpackage"; }
cd "$work" && dpkg-deb -x ./zorvane_*.deb tree
lintian --fail-on error,warning --tag-display-limit 0 -I ./zorvane_*.deb || fail "lintian"
desktop-file-validate tree/usr/share/applications/zorvane.desktop || fail "desktop-file-validate"
# Image loaders (GNOME's switcher) look for the root element in the first 256 bytes.
head -c 256 tree/usr/share/icons/hicolor/scalable/apps/zorvane.svg | grep -q '<svg' || fail "the icon is no SVG to them"
# Not even a remark, but Debian 12's AppStream 0.16 not knowing the <developer> of AppStream 1.0.
report=$(appstreamcli validate-tree --no-net --pedantic tree) && ! grep -E '^ *[EWIP]:' <<<"$report" \
    | grep -v 'I: org.example.zorvane:[0-9]*: unknown-tag developer$' || fail "appstreamcli: $report"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./zorvane_*.deb || fail "apt-get install"
dpkg -L zorvane >files
for f in /usr/games/zorvane /usr/lib/games/zorvane/zorvane /usr/share/man/man6/zorvane.6.gz; do
    grep -qx "$f" files || fail "the package has no $f"
done
depends=$(dpkg-query -W -f='${Depends}' zorvane)
for pair in LiberationMono-Bold.ttf:liberation/LiberationMono-Bold.ttf digitalfont.ttf:dseg/DSEG7Classic-Bold.ttf; do
    font=/usr/share/fonts/truetype/${pair#*:} && owner=$(dpkg -S "$font" | cut -d: -f1)
    [ "$(readlink -f "/usr/share/games/zorvane/Content/${pair%%:*}")" = "$font" ] || fail "Content/${pair%%:*} is not $font"
    grep -Eq "(^|, )$owner( |,|$)" <<<"$depends" || fail "zorvane does not depend on $owner, which has $font"
done
out=$(/usr/bin/python3 "$root/tools/driver.py" smoke --click --cwd / -- /usr/games/zorvane) \
    || fail "the installed game's smoke run: $out"
echo "$out" && ! grep -q "Could not load" <<<"$out" || fail "the installed game missed a file"
apt-get purge -y -q zorvane
grep -vx '/\.' files | while read -r f; do   # gone, or a folder another package owns
    [ ! -e "$f" ] && [ ! -L "$f" ] || { [ -d "$f" ] && dpkg -S "$f" >/dev/null 2>&1; } || fail "$f is left"
done
installed fonts-liberation && installed fonts-dseg || fail "purging zorvane took a font package"
echo "package test: passed"
