#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows with Debian's MinGW-w64 and writes
# dist/zorvane-<version>-win64.zip: zorvane.exe (everything static but OpenAL), OpenAL32.dll,
# Content/, the licences and a README.txt for players.
#
# SFML, FreeType, Ogg, Vorbis and FLAC come from Debian's source packages, OpenAL Soft from
# third_party/, GoogleTest (for the Windows unit tests) from Debian's googletest sources. They are
# cross-built once into a cache folder named after everything that went into them, so a later run
# reuses them: ZORVANE_WIN64_CACHE, by default ~/.cache/zorvane/win64.
#
# Environment: ZORVANE_WIN64_BUILD_DIR (default build-win64/), ZORVANE_WIN64_TESTS=ON to build the
# unit tests too and ZORVANE_WARNINGS_AS_ERRORS=ON to fail on a warning (tools/test.sh sets both).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache_root="${ZORVANE_WIN64_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane/win64}"
build="${ZORVANE_WIN64_BUILD_DIR:-$root/build-win64}"
tests="${ZORVANE_WIN64_TESTS:-OFF}"
jobs=$(nproc)
mingw=x86_64-w64-mingw32
toolchain="$root/cmake/mingw-w64.cmake"
openal_tarball="$root/third_party/openal-soft-1.23.1.tar.gz"
openal_sha256=d44ebc9f3ece0581eb37054c189e347d84b349b209812cc48c769f7339df6c52
# Debian source packages, in build order (each needs the ones before it).
debian_sources=(zlib freetype libogg libvorbis flac libsfml)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
die() { echo "build-windows: $*" >&2; exit 1; }
say() { echo "== build-windows: $*"; }

# Its recipe and the cache key follow Debian 12's sources and cross compiler.
[ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ] ||
    die "the Windows build is made on Debian 12 (bookworm) only"
version=$(sed -n 's/^project(Zorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || die "no project version in CMakeLists.txt"
# The game's own licence goes into the zip; say so now rather than after the build.
[ -f "$root/LICENSE" ] ||
    die "LICENSE is missing at the repository root: the zip must carry the game's licence"
echo "$openal_sha256  $openal_tarball" | sha256sum --quiet -c - ||
    die "$openal_tarball: wrong checksum"

"$root/tools/install-deps.sh" --windows
. "$root/tools/deps-from-debian.sh"

# --- the dependencies: one build, kept under a key of everything that shapes it ------------

build_dependencies() {
    local lic="$prefix/licenses"
    mkdir -p "$lic"
    fetch_sources

    # FreeType: its own gzip code, none of the optional libraries.
    # zlib, for the game's content check and for FreeType, as a static library: its CMake build
    # also makes a DLL, whose resource file Debian's source leaves out.
    local zlib
    zlib=$(dir zlib)
    mkdir -p "$work/build/zlib" "$prefix/include" "$prefix/lib"
    for part in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        $mingw-gcc-posix -O2 -c "$zlib/$part.c" -o "$work/build/zlib/$part.o"
    done
    $mingw-ar rcs "$prefix/lib/libz.a" "$work"/build/zlib/*.o
    cp "$zlib/zlib.h" "$zlib/zconf.h" "$prefix/include/"
    # FLAC keeps its stack protector; the game then links libssp (cmake/Windows.cmake).
    build_font_and_sound_libraries
    # A DLL (LGPL) that needs only Windows' own DLLs: the GCC runtimes linked in statically.
    # Its Unix sound backends would find this machine's headers (PipeWire's, say) if installed.
    cmake_dep openal "$(dir openal-soft)" -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF \
        -DALSOFT_EXAMPLES=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
        -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON \
        -DALSOFT_STATIC_WINPTHREAD=ON -DALSOFT_BACKEND_PIPEWIRE=OFF \
        -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF -DALSOFT_BACKEND_PORTAUDIO=OFF
    # Debian strips SFML's bundled binaries (extlibs/bin), which its install copies unless it
    # uses the libraries found on the system, here the ones above.
    cmake_dep sfml "$(dir libsfml)" -DSFML_USE_SYSTEM_DEPS=ON -DSFML_BUILD_NETWORK=OFF \
        -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_DOC=OFF \
        -DSFML_MISC_INSTALL_PREFIX="$prefix/share/SFML"
    cmake_dep googletest /usr/src/googletest -DBUILD_GMOCK=OFF

    copy_licenses "$lic"
    cp "$openal_tarball" "$lic/"
    cp "$(dir zlib)/README" "$lic/zlib.txt"
}

find_versions
# The key: the recipe above, the toolchain, the compiler and the versions of every source.
key=$( {
    recipe_and_sources
    cat "$toolchain"
    $mingw-g++-posix --version | head -n1
    dpkg-query -W -f='${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest
} | sha256sum | cut -c1-16)
prefix="$cache_root/$key"
dep_options=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVANE_WIN64_PREFIX="$prefix")

cached_dependencies "zorvane-win64" "$build"

# --- the game --------------------------------------------------------------------------------

start=$SECONDS
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVANE_WIN64_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DZORVANE_BUILD_TESTS="$tests" \
    -DZORVANE_WARNINGS_AS_ERRORS="${ZORVANE_WARNINGS_AS_ERRORS:-OFF}"
cmake --build "$build" -j"$jobs"
say "game built in $((SECONDS - start)) s"

# --- the zip ---------------------------------------------------------------------------------

crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
font_copyright() { # font file -> its Debian package's copyright file
    local owner
    owner=$(dpkg-query -S "$1" | head -n1 | cut -d: -f1)
    echo "/usr/share/doc/$owner/copyright"
}
name="zorvane-$version-win64"
stage="$build/zip/$name"
rm -rf "$build/zip"
mkdir -p "$stage/licenses" "$root/dist"
cp "$build/zorvane.exe" "$prefix/bin/OpenAL32.dll" "$stage/"
$mingw-strip "$stage/zorvane.exe" "$stage/OpenAL32.dll"
cp -r "$build/Content" "$stage/Content"
crlf "$root/packaging/windows/README.txt" "$stage/README.txt"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
for file in "$prefix"/licenses/*.txt; do crlf "$file" "$stage/licenses/$(basename "$file")"; done
cp "$prefix"/licenses/*.tar.gz "$stage/licenses/"
mono=$(sed -n 's/^ZORVANE_MONO_FONT:FILEPATH=//p' "$build/CMakeCache.txt")
digital=$(sed -n 's/^ZORVANE_DIGITAL_FONT:FILEPATH=//p' "$build/CMakeCache.txt")
crlf "$(font_copyright "$mono")" "$stage/licenses/LiberationMono-Bold.ttf.txt"
crlf "$(font_copyright "$digital")" "$stage/licenses/digitalfont.ttf.txt"
# What the zip promises: a GUI program with the game's icon and version, needing only Windows'
# own DLLs and OpenAL32.dll, which itself needs only Windows' own.
windows_dlls="kernel32 user32 gdi32 advapi32 msvcrt opengl32 winmm ole32 shell32 oleaut32"
needs_only() { # binary, allowed DLL names
    local dll
    for dll in $($mingw-objdump -p "$1" | sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\1/Ip'); do
        [[ " ${2,,} " == *" ${dll,,} "* ]] || die "$(basename "$1") needs $dll.dll"
    done
}
needs_only "$stage/zorvane.exe" "$windows_dlls openal32"
needs_only "$stage/OpenAL32.dll" "$windows_dlls"
$mingw-objdump -p "$stage/zorvane.exe" | grep -E >/dev/null '^Subsystem\s+0+2\s' || die "not a GUI program"
wrestool -l "$stage/zorvane.exe" | grep >/dev/null 'type=group_icon' || die "no icon"
wrestool -x --raw --type=16 "$stage/zorvane.exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    grep -a >/dev/null "Zorvane - Quendral" || die "no version resource naming the game"
zip_file="$root/dist/$name.zip"
rm -f "$zip_file"
(cd "$stage" && zip -q -X -r "$zip_file" .)
say "wrote $zip_file"
