#!/usr/bin/env bash
# Makes the seed corpora of wbmp_fuzzer, tga_fuzzer, pcx_fuzzer, ico_fuzzer and wmf_fuzzer
# (tests/fuzz/corpus/<format>): small files written by ImageMagick and netpbm at the depths and
# compressions each reader knows, plus hand-made metafiles (placeable WMF and EMF) that use every
# record the player draws. Run from anywhere; overwrites the seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/tests/fuzz/corpus
convert=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$corpus"/{wbmp,tga,pcx,ico,wmf}
$convert -size 21x13 gradient:red-blue -fill yellow -draw "circle 10,6 10,2" "$tmp/base.ppm"

$convert "$tmp/base.ppm" -monochrome "$corpus/wbmp/mono.wbmp"
pbmtowbmp < <($convert "$tmp/base.ppm" -monochrome pbm:-) > "$corpus/wbmp/netpbm.wbmp"

$convert "$tmp/base.ppm" "$corpus/tga/rgb24.tga"
$convert "$tmp/base.ppm" -compress RLE "$corpus/tga/rgb24-rle.tga"
$convert "$tmp/base.ppm" -colors 50 -type Palette "$corpus/tga/mapped.tga"
$convert "$tmp/base.ppm" -colors 50 -type Palette -compress RLE "$corpus/tga/mapped-rle.tga"
$convert "$tmp/base.ppm" -colorspace Gray "$corpus/tga/grey.tga"
$convert "$tmp/base.ppm" -alpha set -channel A -fx 'i/w' "$corpus/tga/rgba32-rle.tga" 2>/dev/null || true
ppmtotga -rgb < "$tmp/base.ppm" > "$corpus/tga/netpbm-rgb.tga"
python3 - "$corpus/tga/rgb16-top-mirror.tga" <<'PY'
import struct, sys
w, h = 5, 3
px = b''.join(struct.pack('<H', (x * 6) | (y * 10 << 5) | ((x + y) << 10)) for y in range(h) for x in range(w))
open(sys.argv[1], 'wb').write(struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, w, h, 16, 0x30) + px)
PY

$convert "$tmp/base.ppm" "$corpus/pcx/rgb24.pcx"
$convert "$tmp/base.ppm" -colors 60 -type Palette "$corpus/pcx/palette8.pcx"
$convert "$tmp/base.ppm" -monochrome "$corpus/pcx/mono.pcx"
ppmtopcx < <($convert "$tmp/base.ppm" -colors 16 ppm:-) > "$corpus/pcx/netpbm-planes16.pcx"
ppmtopcx -packed < <($convert "$tmp/base.ppm" -colors 4 ppm:-) > "$corpus/pcx/netpbm-packed4.pcx"

$convert "$tmp/base.ppm" -resize 16x16! "$tmp/i16.png"
$convert "$tmp/base.ppm" -resize 32x32! -alpha set -channel A -fx 'i/w' "$tmp/i32.png" 2>/dev/null
$convert "$tmp/i16.png" -colors 16 -type Palette "$tmp/i16p.bmp"
$convert "$tmp/i16.png" "$tmp/i32.png" "$corpus/ico/two.ico"
$convert "$tmp/i16p.bmp" "$corpus/ico/palette.ico"
pamtowinicon < <($convert "$tmp/i16.png" ppm:-) > "$corpus/ico/netpbm.ico"

python3 "$root/tools/make_small_metafiles.py" "$corpus/wmf"
ls -l "$corpus"/{wbmp,tga,pcx,ico,wmf}
