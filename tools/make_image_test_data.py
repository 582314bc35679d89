#!/usr/bin/env python3
"""Writes the small files the image tests load as module resources (tests/data/image/):
a 3 x 2 24-bit BMP with known pixels, the same picture as a bare DIB (as Windows bitmap resources
store it), and a short text blob."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, '..', 'tests', 'data', 'image')
os.makedirs(out, exist_ok=True)

w, h = 3, 2
# Bottom row first, blue green red, rows padded to 4 bytes.
rows = b''
for y in range(h):
    row = b''.join(bytes([10 * x + 1, 20 * y + 2, 30 * (x + y) + 3]) for x in range(w))
    rows += row + b'\0' * ((-len(row)) % 4)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
with open(os.path.join(out, 'pixels3x2.bmp'), 'wb') as f:
    f.write(head + info + rows)
with open(os.path.join(out, 'pixels3x2.dib'), 'wb') as f:
    f.write(info + rows)
with open(os.path.join(out, 'blob.txt'), 'wb') as f:
    f.write(b'resource bytes\n')
