#!/usr/bin/env bash
# Renders the hand-drawn application icon packaging/zorvane.svg to the PNG sizes that the
# package installs under share/icons/hicolor/<size>x<size>/apps/. The PNGs are committed
# under packaging/icons/<size>/zorvane.png; run this again after changing the SVG.
#
# Usage: packaging/render_icons.sh      (works from any directory; needs librsvg2-bin)
set -euo pipefail

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "${script_dir}/.." && pwd)"
src="${script_dir}/zorvane.svg"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render_icons.sh: rsvg-convert not found (Debian package librsvg2-bin)" >&2
    exit 1
fi
if [[ ! -f "${src}" ]]; then
    echo "render_icons.sh: missing source ${src}" >&2
    exit 1
fi

# Keep in step with the icon sizes in cmake/Install.cmake.
sizes=(16 32 48 64 128 256)

for size in "${sizes[@]}"; do
    out_dir="${script_dir}/icons/${size}"
    out="${out_dir}/zorvane.png"
    mkdir -p "${out_dir}"
    rsvg-convert --format=png --width="${size}" --height="${size}" \
        --background-color=none --output="${out}.tmp" "${src}"
    mv -f "${out}.tmp" "${out}"
    echo "wrote ${out#"${root}"/} (${size}x${size}) from ${src#"${root}"/}"
done
