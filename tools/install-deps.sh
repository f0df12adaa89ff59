#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and run; with --test, also what the
# tests need. Only missing packages are installed.
set -euo pipefail

packages=(g++ cmake make libsfml-dev libx11-dev fonts-liberation fonts-dseg)
if [ "${1:-}" = "--test" ]; then
    packages+=(libgtest-dev python3 python3-xlib python3-pil xvfb xauth)
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
