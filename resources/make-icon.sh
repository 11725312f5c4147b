#!/usr/bin/env bash
# Draws the program icon, a picture frame holding a small landscape (sky, sun, hills), and
# writes it as a multi-size Windows icon: resources/vistrelle.ico (16, 24, 32, 48, 64, 256 px).
# Needs ImageMagick 6 (`convert`). Run it again only to change the icon; the .ico is committed.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/vistrelle.ico"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The master drawing at 256 px: a dark wooden frame with a lighter bevel, a white mat, and
# inside it the landscape, painted on a transparent canvas with rounded outer corners.
convert -size 200x200 gradient:'#7ec8f0-#fbe3b0' \
    -fill '#ffd34d' -stroke '#f3a712' -strokewidth 3 -draw 'circle 145,62 145,88' \
    -stroke none -fill '#5fae4e' -draw 'ellipse 40,215 120,85 0,360' \
    -fill '#3f8a3a' -draw 'ellipse 175,225 115,95 0,360' \
    "$work/scene.png"
convert -size 256x256 xc:none \
    -fill '#6b3f1f' -draw 'roundrectangle 4,4 251,251 22,22' \
    -fill '#a0693a' -draw 'roundrectangle 12,12 243,243 16,16' \
    -fill '#f7f3ea' -draw 'rectangle 22,22 233,233' \
    "$work/scene.png" -geometry +28+28 -composite \
    -depth 8 "$work/icon-256.png"

# Small sizes are resized from the master with a sharpened filter so that the frame stays
# visible at 16 px.
for s in 16 24 32 48 64; do
    convert "$work/icon-256.png" -filter Lanczos -resize ${s}x${s} -unsharp 0x0.6 \
        "$work/icon-$s.png"
done
convert "$work"/icon-16.png "$work"/icon-24.png "$work"/icon-32.png "$work"/icon-48.png \
    "$work"/icon-64.png "$work"/icon-256.png -depth 8 "$out"
echo "wrote $out"
