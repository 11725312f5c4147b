#!/usr/bin/env bash
# Installs what building, testing and running Vistrelle needs on Debian 12, and nothing when
# it is all there already (one dpkg-query and a look into the sources folder, no network). Needs
# root for the install itself.
#
# The libraries of the Windows program (libjpeg-turbo, Little CMS, libwebp, libheif with
# libde265 and dav1d, giflib) are built from Debian's own source packages, kept outside the
# checkout so that every clone on this machine shares them: in $VISTRELLE_CACHE_DIR/sources/
# (by default ${XDG_CACHE_HOME:-~/.cache}/vistrelle/sources/), each as Debian ships it (.dsc and
# tarballs, which the release's sources archive holds) and unpacked with its patches
# (<name>-<Debian version>/). The mingw preset cross-builds them from there once per machine
# (cmake/libraries.cmake). To get them, apt needs a deb-src entry: when the machine has none,
# one is added beside its own entries, for the same archive and release
# (/etc/apt/sources.list.d/vistrelle-sources.*).
set -euo pipefail
cache_dir=${VISTRELLE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vistrelle}
sources_dir=$cache_dir/sources
source_packages=(libjpeg-turbo lcms2 libwebp libheif libde265 dav1d giflib)

packages=(
    cmake ninja-build g++ libgtest-dev libgmock-dev googletest
    g++-mingw-w64-x86-64-posix
    # Debian 12: wine64 holds the 64-bit loader (/usr/lib/wine/wine64); wine puts the wine,
    # wineboot and wineserver commands on PATH.
    wine wine64
    xvfb xdotool xcompmgr imagemagick x11-utils fonts-wqy-microhei
    # The header of the tests' own stand-in Xinerama library, which shows Wine two monitors.
    libxinerama-dev
    # hsetroot: the run command tiles its wallpaper over the X root window; nsis: makensis
    # with 64-bit stubs, for the installer of the release packages.
    hsetroot nsis
    python3 python3-xlib clang-format clang-tidy
    # The sanitizer build and the fuzz targets (clang 14's libFuzzer and sanitizer runtimes),
    # and cjpeg for the progressive JPEG with a scan script of the hostile-picture tests.
    clang libclang-rt-14-dev libjpeg-turbo-progs
    # Ghostscript's CMYK profile, which the colour tests' CMYK JPEG embeds.
    libgs-common
    # heif-enc, which writes the HEIC and AVIF pictures of the end-to-end tests.
    libheif-examples
    # The libraries of the field: Debian's builds for the native unit tests and fuzz targets;
    # nasm (libjpeg-turbo's and dav1d's SIMD code), meson (dav1d's build) and dpkg-dev (unpacks
    # source packages) for the cross build, which takes zlib from Debian's MinGW-w64 build.
    libjpeg62-turbo-dev liblcms2-dev zlib1g-dev
    libwebp-dev libheif-dev libde265-dev libdav1d-dev libgif-dev
    nasm meson dpkg-dev libz-mingw-w64-dev
    # cwebp and img2webp: the WebP pictures the end-to-end tests and the benchmark make.
    webp
)
# Node.js and npm, which install the checker of the GitHub workflows (scripts/check-workflows.sh):
# Debian's, unless the machine has an npm already (another build of Node.js brings its own).
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

installed=$(dpkg-query -W -f='${Status} ${Package}\n' "${packages[@]}" 2>/dev/null || true)
installed=$'\n'$installed$'\n'
missing=()
for p in "${packages[@]}"; do
    [[ $installed == *$'\n'"install ok installed $p"$'\n'* ]] || missing+=("$p")
done

# A source package counts as there once unpacked whole: it is unpacked aside and moved in last.
unpacked() { compgen -G "$sources_dir/$1-[0-9]*/debian/changelog" >/dev/null; }
missing_sources=()
for p in "${source_packages[@]}"; do
    unpacked "$p" || missing_sources+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_sources[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "install-deps: not root, and missing: ${missing[*]} ${missing_sources[*]}" >&2
        exit 1
    fi
else
    sudo=()
fi
export DEBIAN_FRONTEND=noninteractive

# The machine's own archive entries with Types deb-src: Debian's deb822 file when there is one,
# else the one-line entries of sources.list. Prints nothing when there are none.
source_entries() {
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources
    elif [ -f /etc/apt/sources.list ]; then
        sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list
    fi
}

update=0
if [ ${#missing_sources[@]} -gt 0 ]; then
    if ! grep -Eqs '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; then
        entries=$(source_entries)
        if [ -z "$entries" ]; then
            echo "install-deps: no Debian archive entry in /etc/apt to fetch sources from" >&2
            exit 1
        fi
        list=/etc/apt/sources.list.d/vistrelle-sources.list
        [ -f /etc/apt/sources.list.d/debian.sources ] && list=${list%.list}.sources
        echo "install-deps: adding $list (deb-src of this machine's archive)"
        { echo "# Added by Vistrelle's scripts/install-deps.sh: its libraries' sources."
          echo "$entries"; } | "${sudo[@]}" tee "$list" >/dev/null
        update=1
    elif [ -z "$(apt-cache showsrc "${missing_sources[0]}" 2>/dev/null)" ]; then
        update=1
    fi
fi
if [ ${#missing[@]} -gt 0 ] || [ $update -eq 1 ]; then
    "${sudo[@]}" apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Fetches Debian's source package $1 into the current folder and unpacks it, with its patches,
# into $sources_dir/$1-<Debian version>/. The newest version the archive lists comes first; a
# mirror may list a security update whose files it does not hold yet, so the versions before it
# are tried in turn.
fetch_source() {
    local name=$1 version
    for version in $(apt-cache showsrc "$name" | sed -n 's/^Version: //p' | sort -Vru); do
        if apt-get source -q --download-only "$name=$version"; then
            local dsc=${name}_${version#*:}.dsc
            dpkg-source -x "$dsc" "$fetch/$name"
            mv "$fetch/$name" "$sources_dir/$name-${version#*:}"
            return 0
        fi
        echo "install-deps: $name $version could not be fetched; trying an older version" >&2
    done
    echo "install-deps: no version of the source package $name could be fetched" >&2
    return 1
}

if [ ${#missing_sources[@]} -gt 0 ]; then
    echo "install-deps: fetching the source packages ${missing_sources[*]} into $sources_dir"
    mkdir -p "$sources_dir"
    # Downloaded beside the unpacked trees (apt leaves files it has already checked alone);
    # unpacked in a folder of its own, then moved in whole.
    fetch=$(mktemp -d "$sources_dir/.fetch.XXXXXX")
    trap 'rm -rf "$fetch"' EXIT
    # As root, apt downloads as its own unprivileged user, which must be able to write there.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$sources_dir"
    fi
    for p in "${missing_sources[@]}"; do
        (cd "$sources_dir" && fetch_source "$p")
    done
fi
