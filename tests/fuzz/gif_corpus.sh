#!/usr/bin/env bash
# Makes the seed corpus of gif_fuzzer (tests/fuzz/corpus/gif): small GIFs written by ImageMagick
# at several depths, interlaced, animated with sub-frames and transparency, with a comment, plus a
# hand-made file with every extension the reader knows. Run from anywhere; overwrites the seeds.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus/gif
convert=/usr/bin/convert
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$convert -size 24x16 gradient:red-blue -fill yellow -draw "circle 12,8 12,3" "$tmp/base.ppm"
$convert "$tmp/base.ppm" -colors 2 "$out/depth1.gif"
$convert "$tmp/base.ppm" -colors 16 -interlace GIF "$out/depth4-interlaced.gif"
$convert "$tmp/base.ppm" -colors 200 -set comment "seed comment" "$out/depth8-comment.gif"
for k in 0 1 2; do
  $convert -size 20x12 xc:red -fill green -draw "rectangle $((2+4*k)),$((1+3*k)) $((7+4*k)),$((5+3*k))" "$tmp/f$k.ppm"
done
$convert -delay 5 "$tmp/f0.ppm" "$tmp/f1.ppm" "$tmp/f2.ppm" -loop 2 -layers optimize "$out/animated-optimized.gif"
$convert -delay 5 -dispose Background "$tmp/f0.ppm" "$tmp/f1.ppm" -loop 0 "$out/animated-dispose.gif"
python3 - "$out/extensions.gif" <<'PY'
import struct, sys
# 10 x 10 four-colour picture (code size 2), with graphic control, comment and loop extensions,
# a local table on a second, interlaced frame and a block that lies off the screen.
data = bytes([0x8C,0x2D,0x99,0x87,0x2A,0x1C,0xDC,0x33,0xA0,0x02,0x75,0xEC,0x95,0xFA,0xA8,0xDE,0x60,0x8C,0x04,0x91,0x4C,0x01])
g = b'GIF89a' + struct.pack('<HHBBB', 10, 10, 0x91, 0, 0) + bytes([255,255,255, 255,0,0, 0,0,255, 0,0,0])
g += b'!\xff\x0bNETSCAPE2.0\x03\x01\x05\x00\x00'
g += b'!\xfe\x05hello\x00'
g += b'!\xf9\x04\x09\x0a\x00\x03\x00'
g += b',' + struct.pack('<HHHHB', 0, 0, 10, 10, 0) + bytes([2, len(data)]) + data + b'\x00'
g += b'!\xf9\x04\x08\x0a\x00\x00\x00'
g += b',' + struct.pack('<HHHHB', 0, 0, 10, 10, 0xC1) + bytes([1,2,3, 4,5,6, 7,8,9, 10,11,12]) + bytes([2, len(data)]) + data + b'\x00'
g += b',' + struct.pack('<HHHHB', 8, 8, 10, 10, 0) + bytes([2, len(data)]) + data + b'\x00'
g += b';'
open(sys.argv[1], 'wb').write(g)
PY
python3 - "$out/mosaic.gif" <<'PY'
import struct, sys
# A true-colour mosaic: no global table, 17 x 15 cells with their own tables, plain codes.
def plain(pixels):
    bits, n, out = 0, 0, bytearray()
    def put(code):
        nonlocal bits, n
        bits |= code << n; n += 3
        while n >= 8:
            out.append(bits & 255); bits >>= 8; n -= 8
    for i, p in enumerate(pixels):
        if i % 2 == 0: put(4)
        put(p)
    put(5)
    if n: out.append(bits & 255)
    blocks = b''.join(bytes([len(out[i:i+255])]) + out[i:i+255] for i in range(0, len(out), 255))
    return bytes([2]) + blocks + b'\x00'
W, H = 20, 18
g = b'GIF89a' + struct.pack('<HHBBB', W, H, 0x11, 0, 0)
for top in (0, 15):
    for left in (0, 17):
        w, h = min(17, W - left), min(15, H - top)
        table = bytes([left * 9, top * 11, 50, 200, 10, 10, 10, 200, 10, 10, 10, 200])
        px = [(x + y + left) % 4 for y in range(h) for x in range(w)]
        g += b'!\xf9\x04\x00\x00\x00\x00\x00'
        g += b',' + struct.pack('<HHHHB', left, top, w, h, 0x81) + table + plain(px)
g += b';'
open(sys.argv[1], 'wb').write(g)
PY
ls -l "$out"
