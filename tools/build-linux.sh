#!/usr/bin/env bash
# Builds the game for any x86-64 Linux with glibc 2.34 or later and writes
# dist/zorvane-<version>-linux-x86_64.tar.gz: one folder with the zorvane command, the program
# (SFML, FreeType, Ogg, Vorbis, FLAC and the C++ library linked in), OpenAL Soft as a shared
# library beside it, Content/ with the fonts, the licences, a README.txt and menu-entry.sh.
# It needs of the system only glibc (with libgcc_s), OpenGL (GLVND), the X client libraries and
# libudev; the script checks that of every ELF file it packs.
#
# The libraries come from Debian's source packages and third_party/, as in build-windows.sh,
# built once into a cache folder named after everything that went into them:
# ZORVANE_LINUX_CACHE, by default ~/.cache/zorvane/linux. The game is built in
# ZORVANE_LINUX_BUILD_DIR (default build-linux/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache_root="${ZORVANE_LINUX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane/linux}"
build="${ZORVANE_LINUX_BUILD_DIR:-$root/build-linux}"
jobs=$(nproc)
openal_tarball="$root/third_party/openal-soft-1.23.1.tar.gz"
openal_sha256=d44ebc9f3ece0581eb37054c189e347d84b349b209812cc48c769f7339df6c52
debian_sources=(freetype libogg libvorbis flac libsfml)
# What every Linux desktop has; anything else a packed file needs must be in the archive.
# libgcc_s comes with every glibc, which unwinds through it; linked in, its unwinder would ask
# for glibc 2.35 (_dl_find_object). zlib is in every base system.
system_libs="libc.so.6 libm.so.6 libpthread.so.0 libdl.so.2 librt.so.1 ld-linux-x86-64.so.2
    libgcc_s.so.1 libz.so.1
    libGL.so.1 libGLX.so.0 libOpenGL.so.0 libX11.so.6 libXrandr.so.2 libXext.so.6
    libXcursor.so.1 libXi.so.6 libXrender.so.1 libudev.so.1"
newest_glibc=2.34

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
die() { echo "build-linux: $*" >&2; exit 1; }
say() { echo "== build-linux: $*"; }

[ "$(uname -m)" = x86_64 ] || die "builds on x86-64 only"
version=$(sed -n 's/^project(Zorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || die "no project version in CMakeLists.txt"
[ -f "$root/LICENSE" ] || die "LICENSE is missing at the repository root"
echo "$openal_sha256  $openal_tarball" | sha256sum --quiet -c - ||
    die "$openal_tarball: wrong checksum"

"$root/tools/install-deps.sh" --linux
. "$root/tools/deps-from-debian.sh"

build_dependencies() {
    local lic="$prefix/licenses"
    mkdir -p "$lic" "$prefix/lib"
    fetch_sources
    cc -O2 -fPIC -Wall -c "$root/packaging/linux/arc4random.c" -o "$prefix/lib/arc4random.o"
    # FreeType reads gzip through the system's zlib, as the game does: its own copy of zlib's
    # code, linked in, would stand in for the system's for the game too.
    build_font_and_sound_libraries
    # Shared (LGPL). Its sound backends load the system's ALSA, PulseAudio or PipeWire client
    # when there is one, so the library needs none of them.
    cmake_dep openal "$(dir openal-soft)" -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF \
        -DALSOFT_EXAMPLES=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
        -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_STATIC_STDCXX=ON \
        -DCMAKE_SHARED_LINKER_FLAGS="$prefix/lib/arc4random.o" \
        -DALSOFT_DLOPEN=ON -DALSOFT_REQUIRE_ALSA=ON -DALSOFT_REQUIRE_PULSEAUDIO=ON \
        -DALSOFT_REQUIRE_PIPEWIRE=ON -DALSOFT_BACKEND_JACK=OFF -DALSOFT_BACKEND_SNDIO=OFF \
        -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_NO_CONFIG_UTIL=ON
    cmake_dep sfml "$(dir libsfml)" -DSFML_USE_SYSTEM_DEPS=ON -DSFML_BUILD_NETWORK=OFF \
        -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_DOC=OFF \
        -DSFML_MISC_INSTALL_PREFIX="$prefix/share/SFML"

    copy_licenses "$lic"
}

find_versions
key=$( {
    recipe_and_sources
    cat "$root/packaging/linux/arc4random.c"
    g++ --version | head -n1
    dpkg-query -W -f='${Package}=${Version}\n' libc6-dev libudev-dev libx11-dev libxrandr-dev \
        libgl-dev libasound2-dev libpulse-dev libpipewire-0.3-dev
} | sha256sum | cut -c1-16)
prefix="$cache_root/$key"
dep_options=(-DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON)

cached_dependencies "zorvane-linux" "$build"

# --- the game: in lib/ beside OpenAL Soft, started by the launcher in the folder ------------

start=$SECONDS
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZORVANE_BUILD_TESTS=OFF \
    -DCMAKE_PREFIX_PATH="$prefix" -DSFML_DIR="$prefix/lib/cmake/SFML" \
    -DSFML_STATIC_LIBRARIES=TRUE \
    -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ $prefix/lib/arc4random.o" \
    -DCMAKE_BUILD_WITH_INSTALL_RPATH=ON -DCMAKE_INSTALL_RPATH='$ORIGIN' \
    -DZORVANE_INSTALL_BINDIR=. -DZORVANE_INSTALL_PROGRAMDIR=lib -DZORVANE_INSTALL_DATADIR=. \
    >/dev/null
cmake --build "$build" -j"$jobs" --target zorvane
say "game built in $((SECONDS - start)) s"

# --- the archive -----------------------------------------------------------------------------

font_copyright() { # font file -> its Debian package's copyright file
    echo "/usr/share/doc/$(dpkg-query -S "$(readlink -f "$1")" | head -n1 | cut -d: -f1)/copyright"
}
name="zorvane-$version"
stage="$build/archive/$name"
rm -rf "$build/archive"
mkdir -p "$stage/lib" "$stage/licenses" "$stage/icons" "$root/dist"
cp "$build/launcher/zorvane" "$stage/zorvane"
cp "$build/zorvane" "$stage/lib/"
cp -L "$prefix/lib/libopenal.so.1" "$stage/lib/"
strip "$stage/lib/zorvane" "$stage/lib/libopenal.so.1"
cp -rL "$build/Content" "$stage/Content"
cp "$root/packaging/linux/README.txt" "$root/packaging/linux/menu-entry.sh" "$stage/"
cp "$root/LICENSE" "$stage/LICENSE.txt"
cp "$prefix"/licenses/*.txt "$openal_tarball" "$stage/licenses/"
mono=$(sed -n 's/^ZORVANE_MONO_FONT:FILEPATH=//p' "$build/CMakeCache.txt")
digital=$(sed -n 's/^ZORVANE_DIGITAL_FONT:FILEPATH=//p' "$build/CMakeCache.txt")
cp "$(font_copyright "$mono")" "$stage/licenses/LiberationMono-Bold.ttf.txt"
cp "$(font_copyright "$digital")" "$stage/licenses/digitalfont.ttf.txt"
for size in 48 128 256; do
    cp "$root/packaging/icons/$size/zorvane.png" "$stage/icons/$size.png"
done

# What the archive promises: no packed file needs a library the archive and every desktop lack,
# nor a glibc newer than the oldest it supports.
packed=$(cd "$stage/lib" && ls)
elf_files=0
while IFS= read -r file; do
    [ "$(head -c4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    elf_files=$((elf_files + 1))
    for lib in $(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        [[ " $(echo $system_libs $packed) " == *" $lib "* ]] ||
            die "${file#"$stage/"} needs $lib, which is neither in the archive nor on every system"
    done
    newest=$(objdump -T "$file" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n1)
    [ "$(printf '%s\n%s\n' "$newest" "$newest_glibc" | sort -V | tail -n1)" = "$newest_glibc" ] ||
        die "${file#"$stage/"} needs glibc $newest, newer than $newest_glibc"
    say "${file#"$stage/"}: needs $(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
        tr '\n' ' ')(glibc $newest)"
done < <(find "$stage" -type f)
[ "$elf_files" -eq 2 ] || die "expected the program and OpenAL Soft, found $elf_files ELF files"
tarball="$root/dist/$name-linux-x86_64.tar.gz"
tar -C "$build/archive" --owner=0 --group=0 --numeric-owner -czf "$tarball" "$name"
say "wrote $tarball ($(du -k "$tarball" | cut -f1) KiB)"
