# Sourced by build-windows.sh and build-linux.sh: Debian's sources of the libraries the game
# bundles, and their CMake builds into one prefix. The caller sets root, sudo, prefix, work, jobs,
# the arrays debian_sources and versions, openal_tarball, dep_options (its toolchain's CMake
# options) and die/say.

# apt-get source needs deb-src entries; add them for the archive that is already configured.
ensure_deb_src() {
    apt-cache showsrc libsfml 2>/dev/null | grep -q '^Package:' && return 0
    local list=/etc/apt/sources.list.d/zorvane-deb-src
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee "$list.sources" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee "$list.list" >/dev/null
    fi
    $sudo apt-get update -qq
    apt-cache showsrc libsfml 2>/dev/null | grep -q '^Package:' ||
        die "no Debian source packages reachable (apt-get source)"
}

# The newest version of a source package that apt knows in the main archive (the security
# archive may list newer sources that it does not serve), else the newest anywhere.
source_version() {
    local listed
    listed=$(apt-cache showsrc --only-source "$1" | awk -v RS= '{
        version = ""; main = 0
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
            if (lines[i] ~ /^Version: /) version = substr(lines[i], 10)
            if (lines[i] ~ /^Directory: pool\/main\//) main = 1
        }
        print main, version }')
    { grep '^1 ' <<<"$listed" || echo "$listed"; } | cut -d' ' -f2 | sort -V | tail -n1
}

cmake_dep() { # name source-dir [cmake options...]: configure, build and install into $prefix
    local name=$1 src=$2
    shift 2
    local start=$SECONDS
    cmake -S "$src" -B "$work/build/$name" -G "Unix Makefiles" -Wno-dev "${dep_options[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        "$@" >"$work/log/$name.configure" 2>&1 ||
        { tail -n 30 "$work/log/$name.configure"; die "$name: configure failed"; }
    cmake --build "$work/build/$name" -j"$jobs" >"$work/log/$name.build" 2>&1 ||
        { tail -n 40 "$work/log/$name.build"; die "$name: build failed"; }
    cmake --install "$work/build/$name" >"$work/log/$name.install" 2>&1 ||
        { tail -n 20 "$work/log/$name.install"; die "$name: install failed"; }
    say "$name built in $((SECONDS - start)) s"
}

# The sources, unpacked in $work/src; dir NAME finds one.
fetch_sources() {
    src="$work/src"
    mkdir -p "$src" "$work/log"
    (cd "$src" && for package in "${debian_sources[@]}"; do
        apt-get source -qq "$package=${versions[$package]}" >/dev/null 2>&1 ||
            die "apt-get source $package=${versions[$package]} failed"
    done)
    tar -xzf "$openal_tarball" -C "$src"
}
dir() { find "$src" -maxdepth 1 -type d -name "$1-*" | head -n1; }

# The dependencies, built by the caller's build_dependencies into $prefix unless a finished
# build is there already; the game's build folder forgets libraries found in another prefix.
cached_dependencies() { # work-folder-name game-build-folder
    local build=$2
    if [ -f "$prefix/.complete" ]; then
        say "dependencies from the cache: $prefix"
    else
        say "building the dependencies into $prefix (takes several minutes, once)"
        local start=$SECONDS
        work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
        trap 'rm -rf "$work"' EXIT
        rm -rf "$prefix"
        mkdir -p "$prefix"
        build_dependencies
        touch "$prefix/.complete"
        say "dependencies built in $((SECONDS - start)) s"
    fi
    [ "$(cat "$build/.dependencies" 2>/dev/null)" = "$prefix" ] || rm -f "$build/CMakeCache.txt"
    mkdir -p "$build" && echo "$prefix" >"$build/.dependencies"
}

# The versions of the sources in debian_sources that apt knows, into the array versions.
find_versions() {
    ensure_deb_src
    declare -gA versions
    local package
    for package in "${debian_sources[@]}"; do
        versions[$package]=$(source_version "$package")
        [ -n "${versions[$package]}" ] || die "no source package $package"
    done
}

# What goes into every cache key: the recipe and the versions of the sources.
recipe_and_sources() {
    declare -f build_dependencies cmake_dep fetch_sources copy_licenses \
        build_font_and_sound_libraries
    local package
    for package in "${debian_sources[@]}"; do echo "$package=${versions[$package]}"; done
    echo "openal-soft=$openal_sha256"
}

# The licences of the libraries that both builds bundle, into the folder given.
copy_licenses() {
    cp "$(dir libsfml)/license.md" "$1/SFML.txt"
    cp "$(dir openal-soft)/COPYING" "$1/OpenAL-Soft.txt"
    cp "$(dir freetype)/docs/FTL.TXT" "$1/FreeType.txt"
    cp "$(dir libogg)/COPYING" "$1/Ogg.txt"
    cp "$(dir libvorbis)/COPYING" "$1/Vorbis.txt"
    cp "$(dir flac)/COPYING.Xiph" "$1/FLAC.txt"
}

# FreeType (with the zlib found in the prefix or on the system), Ogg, Vorbis and FLAC.
build_font_and_sound_libraries() {
    cmake_dep freetype "$(dir freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    cmake_dep ogg "$(dir libogg)" -DINSTALL_DOCS=OFF
    cmake_dep vorbis "$(dir libvorbis)"
    cmake_dep flac "$(dir flac)" -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=ON
}
