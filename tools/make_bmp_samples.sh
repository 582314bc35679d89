#!/usr/bin/env bash
# Writes small BMP files of every header kind, depth and compression with ImageMagick and netpbm,
# plus bare-header and bit-field variants made by hand, into the folder given (default: the seed
# corpora of the BMP and detection fuzz targets). Used to seed fuzzing; the unit tests make their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/tests/fuzz/corpus/bmp"}
mkdir -p "$out"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
convert -size 13x7 gradient:red-blue "$tmp/src.ppm"
convert "$tmp/src.ppm" -colors 2 -type palette BMP3:"$out/p1.bmp"
convert "$tmp/src.ppm" -colors 16 BMP3:"$out/p4.bmp"
convert "$tmp/src.ppm" -colors 16 -compress RLE BMP3:"$out/rle4.bmp" || true
convert "$tmp/src.ppm" -colors 200 BMP3:"$out/p8.bmp"
convert "$tmp/src.ppm" -colors 200 -compress RLE BMP3:"$out/rle8.bmp"
convert "$tmp/src.ppm" BMP3:"$out/rgb24.bmp"
convert "$tmp/src.ppm" BMP2:"$out/core24.bmp"
convert "$tmp/src.ppm" -alpha on BMP3:"$out/rgb32.bmp"
convert "$tmp/src.ppm" BMP:"$out/v5_24.bmp"
ppmtobmp -os2 -bpp 8 "$tmp/src.ppm" > "$out/os2_8.bmp" 2>/dev/null
ppmtobmp -windows -bpp 4 <(pnmquant 16 "$tmp/src.ppm" 2>/dev/null) > "$out/nb4.bmp" 2>/dev/null
# A bare information header (no "BM" file header) and a 5-6-5 bit-field image, by hand.
python3 - "$out" <<'PY'
import struct, sys
out = sys.argv[1]
w, h = 5, 3
rows = b''.join(bytes([x * 40, y * 80, 200, 0]) for y in range(h) for x in range(w))
hdr = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
open(out + '/bare32.dib', 'wb').write(hdr + rows)
px = b''
for y in range(h):
    row = b''.join(struct.pack('<H', ((x * 7) << 11) | ((y * 20) << 5) | 31) for x in range(w))
    px += row + b'\0' * ((-len(row)) % 4)
hdr = struct.pack('<IiiHHIIiiII', 40, w, -h, 1, 16, 3, len(px), 0, 0, 0, 0)
masks = struct.pack('<III', 0xF800, 0x07E0, 0x001F)
fh = struct.pack('<2sIHHI', b'BM', 14 + 40 + 12 + len(px), 0, 0, 14 + 40 + 12)
open(out + '/bf565.bmp', 'wb').write(fh + hdr + masks + px)
# RLE4 with runs and absolute data on odd pixels, a delta and line ends.
pal = b''.join(bytes([i * 16, 255 - i * 16, i * 9, 0]) for i in range(16))
rle = bytes([3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 1, 0x80, 0, 0, 9, 0xAB, 0, 0,
             2, 0xCD, 0, 2, 3, 0, 0, 3, 0xEF, 0x10, 0, 0, 0, 4, 0x11, 0x22, 1, 0x33, 0, 1])
hdr = struct.pack('<IiiHHIIiiII', 40, 9, 4, 1, 4, 2, len(rle), 0, 0, 16, 0)
fh = struct.pack('<2sIHHI', b'BM', 14 + 40 + 64 + len(rle), 0, 0, 14 + 40 + 64)
open(out + '/rle4hand.bmp', 'wb').write(fh + hdr + pal + rle)
PY
