#!/usr/bin/env bash
# Runs a command, as root, in the repository mounted at /zorvane inside a minimal Debian of
# another release (bookworm = 12, trixie = 13, forky = testing), made with debootstrap from the
# Debian archive this machine's apt already uses. The system is kept in ZORVANE_CHROOT_CACHE (by
# default ~/.cache/zorvane/chroot) under the release's name: made anew when missing, brought up
# to date with apt at each use, and given the packages of tools/install-deps.sh with the options
# in ZORVANE_CHROOT_DEPS (say "--test"), if set. /proc, /dev and /tmp are mounted only while the
# command runs.
#
# Exit code 75 with a last line "chroot: archive: CAUSE" means the archive let it down (making,
# updating or installing into the system failed); any other is the command's own.
#
# With --bare, the system is a player's bare one instead ("RELEASE-bare", the host's release
# too): minbase with only Mesa's OpenGL and the X client libraries, no tools. Its COMMAND runs
# out here while it is mounted, finding it in ZORVANE_CHROOT.
#
# usage: tools/chroot.sh [--bare] RELEASE COMMAND [ARG...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
die() { echo "chroot: $*" >&2; exit 1; }
archive_failed() { echo "chroot: archive: $*" >&2; exit 75; }
say() { echo "== chroot: $*"; }

bare=""
[ "${1:-}" = --bare ] && bare=-bare && shift
[ $# -ge 2 ] || { echo "usage: $0 [--bare] RELEASE COMMAND [ARG...]" >&2; exit 2; }
release=$1
shift
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, mount, chroot)"
host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$host" ] && { [ "$host" != "$release" ] || [ -n "$bare" ]; } ||
    die "this machine is Debian '$host' already"
cache="${ZORVANE_CHROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane/chroot}"
target="$cache/$release$bare"
partial="$cache/$release$bare.partial"
mkdir -p "$cache"
# One user of a chroot at a time: another run's unmounting would pull /proc from under this one.
exec {lock}>"$cache/$release$bare.lock"
flock -n "$lock" || { say "waiting for another run to finish with $target"; flock "$lock"; }

# The host's Debian entries with the release's name in their suites (trixie-security for
# bookworm-security, and so on), as deb822 or one-line entries like the host's own.
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sources_file=etc/apt/sources.list.d/debian.sources
    sources=$(awk -v from="$host" -v to="$release" 'BEGIN { RS = ""; ORS = "\n\n" }
        /(^|\n)Types:[^\n]*deb( |\n|$)/ && $0 ~ "Suites:[^\n]*" from {
            gsub(from, to); gsub(/(^|\n)#[^\n]*/, ""); sub(/^\n/, ""); print }' \
        /etc/apt/sources.list.d/debian.sources)
    mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' <<<"$sources" | head -n1)
elif [ -f /etc/apt/sources.list ]; then
    sources_file=etc/apt/sources.list
    sources=$(sed -n "/^deb .* $host[ -]/s/$host/$release/gp" /etc/apt/sources.list)
    mirror=$(sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\).*/\2/p' <<<"$sources" | head -n1)
fi
[ -n "${mirror:-}" ] || die "no Debian archive for $host in this machine's apt sources"

# Everything mounted at or under a folder, deepest first.
mounts_under() {
    awk -v dir="$1" '$5 == dir || index($5, dir "/") == 1 { print $5 }' /proc/self/mountinfo |
        sort -r
}
release_mounts() {
    local dir=$1 pid mount
    # Whatever still runs in there (a test's X server, say) would keep its mounts busy.
    for pid in /proc/[0-9]*; do
        if [ "$(readlink "$pid/root" 2>/dev/null)" = "$dir" ]; then
            kill -9 "${pid#/proc/}" 2>/dev/null || true
        fi
    done
    for mount in $(mounts_under "$dir"); do
        umount "$mount" 2>/dev/null || umount -l "$mount"
    done
    [ -z "$(mounts_under "$dir")" ] || die "still mounted under $dir: $(mounts_under "$dir")"
}

# A system half made by an interrupted run goes; debootstrap may have left /proc mounted in it.
if [ -e "$partial" ]; then
    release_mounts "$partial"
    rm -rf --one-file-system "$partial"
fi
if [ ! -d "$target" ]; then
    say "making Debian $release in $target from $mirror (takes a minute, once)"
    command -v debootstrap >/dev/null || "$root/tools/install-deps.sh" --chroot
    start=$SECONDS
    # An older debootstrap has no script for a release newer than itself, as Debian 12's has
    # none for testing: sid's makes it the same way.
    script=/usr/share/debootstrap/scripts/$release
    [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
    if ! debootstrap --variant=minbase "$release" "$partial" "$mirror" "$script" \
        >"$cache/$release.log" 2>&1; then
        tail -n 20 "$cache/$release.log"
        release_mounts "$partial"
        archive_failed "debootstrap $release from $mirror: $(grep -m1 '^E:' "$cache/$release.log")"
    fi
    rm -f "$partial/etc/apt/sources.list"
    # Packages installed in there must not start services.
    printf '#!/bin/sh\nexit 101\n' >"$partial/usr/sbin/policy-rc.d"
    chmod 755 "$partial/usr/sbin/policy-rc.d"
    mkdir -p "$partial/zorvane"
    release_mounts "$partial"
    mv "$partial" "$target"
    say "made in $((SECONDS - start)) s"
fi

# Mounts left by a run that was killed outright go first; this run's go when it ends, however.
release_mounts "$target"
trap 'release_mounts "$target"' EXIT
mount -t proc proc "$target/proc"
mount --rbind /dev "$target/dev"
mount --make-rslave "$target/dev"
# The host's /tmp: X servers in there and out here see each other's display locks.
mount --bind /tmp "$target/tmp"
mount --bind "$root" "$target/zorvane"
cp /etc/resolv.conf "$target/etc/resolv.conf"
# The archive the host uses now, should it have moved since the system was made.
printf '%s\n' "$sources" >"$target/$sources_file"

# Not holding the lock, what a killed run leaves running in there is ended by the next run.
in_chroot() {
    chroot "$target" /usr/bin/env -i -C /zorvane HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive "$@" {lock}>&-
}
# Testing's Release files may be past their Valid-Until in a mirror that lags; no reason to
# refuse them in a system made only to build and test in. Lists that could not be fetched fail
# the update there: testing moves too fast for old ones to do.
if [ "$release" = forky ]; then
    printf '%s\n' 'Acquire::Check-Valid-Until "false";' 'APT::Update::Error-Mode "any";' \
        >"$target/etc/apt/apt.conf.d/99zorvane-testing"
fi
# A kept system catches up with the archive; an upgrade cut short by a stopped run is finished.
# What goes wrong here is the archive's doing (a release that moves), not the command's.
archive_step() {
    local log="$cache/$release.apt.log"
    in_chroot "$@" >"$log" 2>&1 ||
        { tail -n 20 "$log"; archive_failed "$* in $release: $(grep -m1 '^E:' "$log")"; }
}
archive_step dpkg --configure -a
archive_step apt-get update -qq
archive_step apt-get upgrade -y -qq
[ -z "${ZORVANE_CHROOT_DEPS:-}" ] || archive_step tools/install-deps.sh $ZORVANE_CHROOT_DEPS
if [ -n "$bare" ]; then
    # What a desktop has, so what the portable archive may need; nothing else.
    in_chroot apt-get install -y -qq --no-install-recommends libgl1 libglx-mesa0 libgl1-mesa-dri \
        libopengl0 libx11-6 libxrandr2 libxext6 libxcursor1 libxi6 libxrender1 libudev1 \
        >"$cache/$release$bare.apt.log" 2>&1 || { tail -n 20 "$cache/$release$bare.apt.log";
        archive_failed "the desktop's libraries in $release$bare"; }
    say "running out here on Debian $release$bare ($(cat "$target/etc/debian_version")): $*"
    ZORVANE_CHROOT=$target "$@"
    exit
fi
say "running in Debian $release ($(cat "$target/etc/debian_version")): $*"
in_chroot "$@"
