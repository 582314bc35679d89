#!/usr/bin/env bash
# Makes the seed corpus of tiff_fuzzer (tests/fuzz/corpus/tiff): small TIFFs written by ImageMagick
# and libtiff's tools at every photometric the reader knows, in strips and tiles, several codecs,
# orientations and a two-page file. Run from anywhere; overwrites the seeds.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus/tiff
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || convert=/usr/bin/convert
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$convert -size 24x16 gradient:red-blue -fill yellow -draw "circle 12,8 12,3" "$tmp/base.ppm"
$convert "$tmp/base.ppm" -compress lzw "$out/rgb-lzw.tif"
$convert "$tmp/base.ppm" -compress jpeg -quality 80 "$out/rgb-jpeg.tif"
$convert "$tmp/base.ppm" -compress zip -define tiff:predictor=2 "$out/rgb-deflate-predictor.tif"
$convert "$tmp/base.ppm" -alpha set -channel A -evaluate set 60% +channel -compress none "$out/rgba.tif"
$convert "$tmp/base.ppm" -colors 12 -type palette -compress rle "$out/palette-packbits.tif"
$convert "$tmp/base.ppm" -colorspace gray -depth 16 -compress none "$out/grey16.tif"
$convert "$tmp/base.ppm" -colorspace gray -depth 4 "$out/grey4.tif"
$convert "$tmp/base.ppm" -monochrome -compress group4 "$out/bilevel-g4.tif"
$convert "$tmp/base.ppm" -monochrome -compress fax "$out/bilevel-g3.tif"
$convert "$tmp/base.ppm" -colorspace cmyk "$out/cmyk.tif"
$convert "$tmp/base.ppm" -colorspace lab "$out/lab.tif"
$convert "$tmp/base.ppm" -define tiff:tile-geometry=16x16 "$out/tiled-rgb.tif"
$convert "$tmp/base.ppm" -colorspace gray -define tiff:tile-geometry=16x16 "$out/tiled-grey.tif"
$convert "$tmp/base.ppm" -orient RightTop "$out/orient6.tif"
$convert "$tmp/base.ppm" -orient BottomRight -colorspace gray "$out/orient3-grey.tif"
$convert "$tmp/base.ppm" \( "$tmp/base.ppm" -rotate 90 -colors 8 \) "$out/two-pages.tif"
tiffcp -c none -r 3 "$out/rgb-lzw.tif" "$tmp/strips.tif" && cp "$tmp/strips.tif" "$out/rgb-strips3.tif"
tiffcp -c none -p separate "$out/rgb-lzw.tif" "$out/rgb-planar.tif" 2>/dev/null || tiffcp -p separate "$out/rgb-deflate-predictor.tif" "$out/rgb-planar.tif" 2>/dev/null || true
tiffcp -c jpeg "$out/rgb-lzw.tif" "$tmp/ycbcr.tif" 2>/dev/null && cp "$tmp/ycbcr.tif" "$out/ycbcr-jpeg.tif" || true
ls -l "$out"
