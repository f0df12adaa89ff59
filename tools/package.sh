#!/usr/bin/env bash
# Builds the Debian packages for Debian 12 and Debian 13 into dist/, as
# zorvane_<version>+deb12_<arch>.deb and zorvane_<version>+deb13_<arch>.deb (debian/rules puts
# the release into the version), and lints each. This machine's release is built here, the other
# in a chroot of it (tools/chroot.sh, as root); --here builds this machine's only.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
die() { echo "package: $*" >&2; exit 1; }

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case "$release" in
    bookworm) other=trixie ;;
    trixie) other=bookworm ;;
    *) die "Debian 12 (bookworm) or 13 (trixie) builds these, not '$release'" ;;
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

[ "${1:-}" = --here ] || "$root/tools/chroot.sh" "$other" bash tools/package.sh --here
