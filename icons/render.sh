#!/bin/sh
# Renders the program icon's PNG sizes from its SVG (needs ImageMagick).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    convert -background none -density 384 pelmora-align.svg -resize "${size}x${size}" \
        -strip "pelmora-align-$size.png"
done
