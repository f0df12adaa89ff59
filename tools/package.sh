#!/usr/bin/env bash
# Builds the Debian packages for Debian 12, Debian 13 and Debian testing into dist/, as
# zorvane_<version>+deb12_<arch>.deb, +deb13 and +deb14 (debian/rules puts the release into the
# version), and lints each. This machine's release is built here, the others in chroots of them
# (tools/chroot.sh, as root); --here builds this machine's only.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
die() { echo "package: $*" >&2; exit 1; }

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case "$release" in
    bookworm) others=(trixie forky) ;;
    trixie) others=(bookworm forky) ;;
    forky) others=(bookworm trixie) ;;
    *) die "Debian 12 (bookworm), 13 (trixie) or testing (forky) builds these, not '$release'" ;;
esac

"$root/tools/install-deps.sh" --package
# Built from a copy, so the repository and its build folders stay as they are.
work=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
tar -C "$root" --exclude=./.git --exclude='./build*' --exclude=./dist -cf - . |
    tar -C "$work/src" -xf -
(cd "$work/src" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log"; die "dpkg-buildpackage failed"; }
deb=$(find "$work" -maxdepth 1 -name 'zorvane_*.deb')
lintian --fail-on error,warning --tag-display-limit 0 -I "$deb" || die "lintian: $deb"
suffix=$(dpkg-deb -f "$deb" Version | sed -n 's/.*\(+deb[0-9]*\)$/\1/p')
[ -n "$suffix" ] || die "$deb: no +debN in its version"
mkdir -p "$root/dist"
rm -f "$root"/dist/zorvane_*"$suffix"_*.deb
cp "$deb" "$root/dist/"
echo "== package: wrote dist/$(basename "$deb")"

[ "${1:-}" = --here ] && exit 0
for other in "${others[@]}"; do
    "$root/tools/chroot.sh" "$other" bash tools/package.sh --here
done
