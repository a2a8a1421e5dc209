#!/bin/sh
# Renders the program icon's PNG sizes from its SVG (needs ImageMagick).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    convert -background none -density 384 pelmora-align.svg -resize "${size}x${size}" \
        -strip "pelmora-align-$size.png"
done
# The Windows program's icon holds every size.
convert pelmora-align-16.png pelmora-align-32.png pelmora-align-48.png pelmora-align-64.png \
    pelmora-align-128.png pelmora-align-256.png pelmora-align.ico
