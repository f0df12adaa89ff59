#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and run; with --test, also what the
# tests need; with --windows, the cross build's (tools/build-windows.sh), and with both, what
# its tests under wine need. Only missing packages are installed.
set -euo pipefail

test=0
windows=0
for option in "$@"; do
    case "$option" in
        --test) test=1 ;;
        --windows) windows=1 ;;
        *) echo "usage: $0 [--test] [--windows]" >&2; exit 2 ;;
    esac
done

packages=(g++ cmake make libsfml-dev libx11-dev libxrandr-dev libgl-dev fonts-liberation fonts-dseg)
if [ $test = 1 ]; then
    packages+=(libgtest-dev python3 python3-xlib python3-pil xvfb xauth x11-xserver-utils)
    # the package test: builds the .deb (debian/control's Build-Depends), lints and validates it
    packages+=(build-essential debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils)
fi
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
