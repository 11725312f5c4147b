#!/usr/bin/env bash
# Builds the release packages from a Release MinGW build (the mingw preset) into dist/:
#   dist/Vistrelle-VERSION-win64.zip    Vistrelle.exe, libheif.dll, libde265.dll, option.ini,
#                                       image.jpg, LICENSE.txt, README.txt, COPYING.*.txt
#   dist/Vistrelle-VERSION-setup.exe    the per-user installer
#   dist/Vistrelle-VERSION-sources.tar  the libraries' Debian source packages, as built, which
#                                       each release offers beside the other two (the LGPL's
#                                       libheif and libde265 among them)
# VERSION is the CMake project's (CMakeLists.txt). Installs what it needs first (makensis from
# Debian's nsis package, ImageMagick for the sample picture).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j2 --target vistrelle_packages

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw/CMakeCache.txt)
mkdir -p dist
for f in "Vistrelle-$version-win64.zip" "Vistrelle-$version-setup.exe" \
    "Vistrelle-$version-sources.tar"; do
    cp "build/mingw/dist/$f" dist/
    echo "package: dist/$f ($(stat -c %s "dist/$f") bytes)"
done
