#!/usr/bin/env bash
# Makes the seed corpora of jpeg_fuzzer (tests/fuzz/corpus/jpeg) and exif_fuzzer (corpus/exif):
# baseline, progressive, grey, arithmetic-coded, restart-marker and CMYK JPEGs from cjpeg and
# ImageMagick, JPEGs with hand-made EXIF blocks in both byte orders, and those EXIF payloads alone.
# Run from anywhere; overwrites the seeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/corpus/jpeg
exif=$here/corpus/exif
convert=/usr/bin/convert
mkdir -p "$out" "$exif"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$convert -size 21x13 gradient:red-blue -fill yellow -draw "circle 10,6 10,2" "$tmp/base.ppm"
cjpeg -quality 80 "$tmp/base.ppm" > "$out/baseline.jpg"
cjpeg -progressive "$tmp/base.ppm" > "$out/progressive.jpg"
cjpeg -grayscale -density 118 -dct int "$tmp/base.ppm" > "$out/gray.jpg" 2>/dev/null || cjpeg -grayscale "$tmp/base.ppm" > "$out/gray.jpg"
cjpeg -arithmetic "$tmp/base.ppm" > "$out/arithmetic.jpg"
cjpeg -restart 1 -sample 2x2 "$tmp/base.ppm" > "$out/restart.jpg"
$convert "$tmp/base.ppm" -colorspace CMYK "$out/cmyk.jpg"
python3 "$here/../../tools/make_jpeg_exif.py" "$out/baseline.jpg" "$out" "$exif"
ls -l "$out" "$exif"
