#!/usr/bin/env bash
# Makes the seed corpus of png_fuzzer (tests/fuzz/corpus/png): small PNGs written by ImageMagick at
# every colour type and depth, interlaced, with transparency, background and resolution chunks.
# Run from anywhere; overwrites the seeds.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus/png
convert=/usr/bin/convert
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$convert -size 13x9 gradient:red-blue -fill yellow -draw "circle 6,4 6,1" "$tmp/base.ppm"
$convert "$tmp/base.ppm" -colorspace gray -depth 1 -define png:bit-depth=1 "$out/gray1.png"
$convert "$tmp/base.ppm" -colorspace gray -define png:bit-depth=2 -define png:color-type=0 "$out/gray2.png"
$convert "$tmp/base.ppm" -colorspace gray -define png:bit-depth=4 -define png:color-type=0 "$out/gray4.png"
$convert "$tmp/base.ppm" -colorspace gray -depth 16 "$out/gray16.png"
$convert "$tmp/base.ppm" -colors 3 -define png:bit-depth=2 -define png:color-type=3 "$out/palette2.png"
$convert "$tmp/base.ppm" -colors 12 PNG8:"$out/palette4.png"
$convert "$tmp/base.ppm" -colors 40 -transparent yellow PNG8:"$out/palette8-trns.png"
$convert "$tmp/base.ppm" -depth 8 -interlace PNG -density 300 -units PixelsPerInch PNG24:"$out/rgb8-interlaced.png"
$convert "$tmp/base.ppm" -depth 16 -background "#102030" PNG48:"$out/rgb16-bkgd.png"
$convert "$tmp/base.ppm" -alpha set -channel A -fx "i/w" +channel PNG32:"$out/rgba8.png"
$convert "$tmp/base.ppm" -alpha set -channel A -fx "j/h" +channel -interlace PNG PNG64:"$out/rgba16-interlaced.png"
$convert "$tmp/base.ppm" -colorspace gray -alpha set -channel A -fx "i/w" +channel -depth 8 -define png:color-type=4 "$out/graya8.png"
$convert "$tmp/base.ppm" -colorspace gray -alpha set -channel A -fx "i/w" +channel -depth 16 -define png:color-type=4 "$out/graya16.png"
ls -l "$out"
