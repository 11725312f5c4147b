#!/usr/bin/env bash
# Builds the MinGW preset and runs the picture-loading benchmark under Wine, in the tests'
# session (Xvfb + xcompmgr, shared prefix). Prints the tables bench/README.md shows.
#
#   scripts/bench.sh [RUNS] [DPI]   RUNS: runs per figure, 5 unless given; DPI: the display
#                                   scale the benchmark runs at (96 unless given)
#
# The pictures are written once into build/bench-pictures/ by the benchmark itself (WIC's
# encoders); WIC's JPEG encoder writes no progressive JPEG, so this script makes that one from
# the baseline JPEG with ImageMagick (`convert -interlace Plane`). Delete the folder to make
# them afresh.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
runs=${1:-5}
dpi=${2:-96}

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j2 --target vistrelle_bench Vistrelle

pictures="$top/build/bench-pictures"
mkdir -p "$pictures"
wine_run=tests/harness/wine-run
bench=build/mingw/bench/vistrelle_bench.exe
winpath() { printf 'Z:%s' "${1//\//\\}"; }

"$wine_run" "$bench" --make "$(winpath "$pictures")" | tr -d '\r'
if [ ! -f "$pictures/progressive.jpg" ]; then
    convert "$pictures/baseline.jpg" -interlace Plane -quality 90 "$pictures/progressive.jpg.part"
    mv "$pictures/progressive.jpg.part" "$pictures/progressive.jpg"
fi
if [ ! -f "$pictures/turned.jpg" ]; then
    # WIC's encoder writes no Exif block: the orientation tag is put in by hand.
    PYTHONPATH="$top/tests/e2e" python3 -c '
import sys
from frame.picture_bytes import with_orientation
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(with_orientation(data, 6))
' "$pictures/baseline.jpg" "$pictures/turned.jpg.part"
    mv "$pictures/turned.jpg.part" "$pictures/turned.jpg"
fi

# The pictures WIC's encoder cannot write: fine grain over the whole picture (high entropy,
# baseline and progressive), phone-sized photos, and a CMYK one.
make() {  # make FILE CONVERT-ARGS...: writes FILE once, through a .part file
    local file=$pictures/$1
    shift
    [ -f "$file" ] || { convert "$@" "jpeg:$file.part" && mv "$file.part" "$file"; }
}
make entropy.jpg "$pictures/baseline.jpg" -attenuate 0.6 +noise Gaussian -quality 90
make entropy-progressive.jpg "$pictures/entropy.jpg" -interlace Plane -quality 90
make phone.jpg "$pictures/baseline.jpg" -resize '4032x3024!' -attenuate 0.3 +noise Gaussian \
    -quality 92
make phone50.jpg "$pictures/baseline.jpg" -resize '8160x6120!' -attenuate 0.3 +noise Gaussian \
    -quality 92
make cmyk.jpg "$pictures/baseline.jpg" -colorspace CMYK -quality 90
# A 12 MP photo as the web gives it: cwebp's lossy encoding of the phone-like JPEG.
[ -f "$pictures/phone.webp" ] || {
    cwebp -quiet -q 80 "$pictures/phone.jpg" -o "$pictures/phone.webp.part" &&
        mv "$pictures/phone.webp.part" "$pictures/phone.webp"
}
# The phone-like photo as a phone's HEIC (HEVC) and as AVIF (AV1), by Debian's heif-enc; its
# AV1 encoder aborts on PNG input and wants BT.601's matrix from a JPEG.
heif() {  # heif FILE HEIF-ENC-ARGS...
    local file=$pictures/$1
    shift
    [ -f "$file" ] || { heif-enc -q 90 "$@" -o "$file.part" "$pictures/phone.jpg" >/dev/null &&
        mv "$file.part" "$file"; }
}
heif phone.heic
heif phone.avif -A --matrix_coefficients 6 -p speed=8

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "$(free -g | awk '/Mem:/ {print $2}') GB, $(wine --version 2>/dev/null || echo wine), $(date -u +%Y-%m-%d)"
echo "display scale: $dpi dpi"
"$wine_run" --dpi "$dpi" "$bench" "$(winpath "$pictures")" --runs "$runs" \
    --exe "$(winpath "$top/build/mingw/Vistrelle.exe")" | tr -d '\r'
# The folder's steps and the file followed.
"$wine_run" --dpi "$dpi" "$bench" --folder "$(winpath "$pictures")" --runs "$runs" | tr -d '\r'
