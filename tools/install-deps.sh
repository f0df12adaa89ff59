#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and run; with --test, also what the
# tests need; with --package, what building the .deb needs (tools/package.sh); with --chroot,
# what tools/chroot.sh needs; with --windows, the cross build's (tools/build-windows.sh), and
# with --test and --windows, what its tests under wine need. Only missing packages are installed.
set -euo pipefail

test=0
deb=0
chroot=0
windows=0
for option in "$@"; do
    case "$option" in
        --test) test=1 ;;
        --package) deb=1 ;;
        --chroot) chroot=1 ;;
        --windows) windows=1 ;;
        *) echo "usage: $0 [--test] [--package] [--chroot] [--windows]" >&2; exit 2 ;;
    esac
done

packages=(g++ cmake make libsfml-dev libx11-dev libxrandr-dev libgl-dev zlib1g-dev fonts-liberation
    fonts-dseg)
if [ $test = 1 ]; then
    packages+=(libgtest-dev python3 python3-xlib python3-pil xvfb xauth x11-xserver-utils)
    # the package test: builds the .deb, lints and validates it
    packages+=(appstream desktop-file-utils)
fi
if [ $test = 1 ] || [ $deb = 1 ]; then
    # the .deb: debian/control's Build-Depends are the ones above
    packages+=(build-essential debhelper dpkg-dev fakeroot lintian)
fi
# the other Debian release beside this one (the test command on Debian 12, tools/package.sh)
[ $chroot = 1 ] && packages+=(debootstrap)
if [ $windows = 1 ]; then
    packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
               dpkg-dev googletest icoutils zip)
    [ $test = 1 ] && packages+=(wine wine64 unzip)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
