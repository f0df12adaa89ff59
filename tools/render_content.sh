#!/usr/bin/env bash
# Renders the hand-drawn SVG sources in Content/src/ to the PNGs the game loads
# from Content/. Every image has a fixed pixel size; the SVGs are drawn on that
# exact grid, so rsvg-convert renders them 1:1.
#
# Usage: tools/render_content.sh      (works from any directory)
set -euo pipefail

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "${script_dir}/.." && pwd)"
src_dir="${root}/Content/src"
out_dir="${root}/Content"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render_content.sh: rsvg-convert not found (Debian package librsvg2-bin)" >&2
    exit 1
fi

# name width height
images=(
    "moneybill 160 80"
    "largebill 250 96"
    "moneybill_blank 180 110"
    "playerclock 90 90"
    "clockhand 3 40"
    "smallclock 26 26"
)

for entry in "${images[@]}"; do
    read -r name width height <<<"${entry}"
    src="${src_dir}/${name}.svg"
    out="${out_dir}/${name}.png"
    if [[ ! -f "${src}" ]]; then
        echo "render_content.sh: missing source ${src}" >&2
        exit 1
    fi
    rsvg-convert --format=png --width="${width}" --height="${height}" \
        --background-color=none --output="${out}.tmp" "${src}"
    mv -f "${out}.tmp" "${out}"
    echo "wrote ${out#"${root}"/} (${width}x${height}) from ${src#"${root}"/}"
done
