#!/usr/bin/env bash
# Draws the sample picture that comes with Vistrelle (the run command's program folder and the
# release packages both use it): a dusk sky, a sun, two hills and a lake, 780x520, as a JPEG.
#
#   scripts/sample-image.sh OUT.jpg
#
# Needs ImageMagick 6 (`convert`). The file is written whole or not at all.
set -euo pipefail
out=${1:?usage: sample-image.sh OUT.jpg}
convert -size 780x520 gradient:'#1d2b64-#f8cdda' \
    -fill '#ffd166' -draw 'circle 560,170 560,230' \
    -fill '#2d6a4f' -draw 'ellipse 180,560 330,190 0,360' \
    -fill '#1b4332' -draw 'ellipse 640,600 320,230 0,360' \
    -fill '#4ea8de' -draw 'rectangle 0,470 780,520' \
    -quality 92 "jpg:$out.part"
mv "$out.part" "$out"
