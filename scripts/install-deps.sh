#!/usr/bin/env bash
# Installs what building, testing and running Vistrelle needs on Debian 12, and nothing when
# it is all there already (one dpkg-query, no network). Needs root for the install itself.
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev libgmock-dev googletest
    g++-mingw-w64-x86-64-posix
    # Debian 12: wine64 holds the 64-bit loader (/usr/lib/wine/wine64); wine puts the wine,
    # wineboot and wineserver commands on PATH.
    wine wine64
    xvfb xdotool xcompmgr imagemagick x11-utils fonts-wqy-microhei
    # hsetroot: the run command tiles its wallpaper over the X root window; nsis: makensis
    # with 64-bit stubs, for the installer of the release packages.
    hsetroot nsis
    python3 python3-xlib clang-format
    # The sanitizer build and the fuzz targets (clang 14's libFuzzer and sanitizer runtimes),
    # and cjpeg for the progressive JPEG with a scan script of the hostile-picture tests.
    clang libclang-rt-14-dev libjpeg-turbo-progs
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "install-deps: missing packages and not root: ${missing[*]}" >&2
        exit 1
    fi
else
    sudo=()
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
