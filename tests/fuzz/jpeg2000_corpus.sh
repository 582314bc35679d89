#!/usr/bin/env bash
# Makes the seed corpora of jpeg2000_fuzzer (tests/fuzz/corpus/jpeg2000: JP2 and code streams from
# OpenJPEG's and ImageMagick's writers) and rawfamily_fuzzer (tests/fuzz/corpus/rawfamily: PNM, PGX
# and Sun raster from netpbm, ImageMagick and OpenJPEG). Run from anywhere; overwrites the seeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
j2k=$here/corpus/jpeg2000
raw=$here/corpus/rawfamily
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || convert=/usr/bin/convert
mkdir -p "$j2k" "$raw"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$convert -size 20x14 gradient:red-blue -fill yellow -draw "circle 10,7 10,3" "$tmp/base.ppm"
$convert "$tmp/base.ppm" -colorspace gray "$tmp/grey.pgm"
opj_compress -i "$tmp/base.ppm" -o "$j2k/rgb-lossless.j2k" -n 3 >/dev/null
opj_compress -i "$tmp/base.ppm" -o "$j2k/rgb-rate.jp2" -r 20 -n 3 >/dev/null
opj_compress -i "$tmp/base.ppm" -o "$j2k/rgb-tiles.jp2" -t 8,8 -n 2 -I -p RPCL >/dev/null
opj_compress -i "$tmp/grey.pgm" -o "$j2k/grey.jp2" -n 3 >/dev/null
opj_compress -i "$tmp/grey.pgm" -o "$j2k/grey-sop.j2k" -n 3 -SOP -EPH -M 63 >/dev/null
$convert "$tmp/base.ppm" -depth 16 "$tmp/base16.ppm"
opj_compress -i "$tmp/base16.ppm" -o "$j2k/rgb16.jp2" -n 3 >/dev/null
$convert "$tmp/base.ppm" "$j2k/imagemagick.jp2"
cp "$tmp/base.ppm" "$raw/rgb.ppm"
cp "$tmp/grey.pgm" "$raw/grey.pgm"
pnmtoplainpnm "$tmp/base.ppm" > "$raw/plain.ppm"
$convert "$tmp/grey.pgm" -depth 16 "$raw/grey16.pgm"
$convert "$tmp/base.ppm" -monochrome "$raw/bilevel.pbm"
pnmtoplainpnm "$raw/bilevel.pbm" > "$raw/plain.pbm"
$convert "$tmp/base.ppm" -type TrueColor "sun:$raw/rgb-standard.ras"
$convert "$tmp/base.ppm" -colors 30 ppm:- | pnmtorast -rle > "$raw/mapped-rle.ras" 2>/dev/null || true
$convert "$tmp/base.ppm" -colors 8 ppm:- | pnmtorast -standard > "$raw/mapped.ras" 2>/dev/null || true
pnmtorast "$raw/bilevel.pbm" 2>/dev/null > "$raw/bilevel.ras" || true
opj_decompress -i "$j2k/grey.jp2" -o "$tmp/grey.pgx" >/dev/null
cp "$tmp"/grey*.pgx "$raw/grey.pgx"
ls -l "$j2k" "$raw"
