#!/usr/bin/env python3
"""Writes small metafiles that use every record the WMF player draws: a placeable WMF and an
enhanced metafile, into the folder given as the first argument."""
import os
import struct
import sys


def wmf_record(function, *words, raw=b''):
    params = b''.join(struct.pack('<h', w) if w < 0x8000 else struct.pack('<H', w) for w in words) + raw
    if len(params) % 2:
        params += b'\0'
    return struct.pack('<IH', 3 + len(params) // 2, function) + params


def colorref(r, g, b):
    v = r | (g << 8) | (b << 16)
    return (v & 0xFFFF, v >> 16)


def placeable(left, top, right, bottom, upi, records):
    head = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, left, top, right, bottom, upi, 0)
    check = 0
    for (w,) in struct.iter_unpack('<H', head):
        check ^= w
    body = b''.join(records) + wmf_record(0)
    words = (18 + len(body)) // 2
    meta = struct.pack('<HHHIHIH', 1, 9, 0x300, words, 4, 100, 0)
    return head + struct.pack('<H', check) + meta + body


def sample_wmf():
    bmp = struct.pack('<IiiHHIIiiII', 40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0) + bytes([0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0])
    return placeable(0, 0, 1000, 800, 1000, [
        wmf_record(0x020B, 0, 0), wmf_record(0x020C, 800, 1000),
        wmf_record(0x02FA, 0, 20, 0, *colorref(200, 0, 0)),
        wmf_record(0x02FC, 0, *colorref(0, 128, 255), 0),
        wmf_record(0x02FC, 2, *colorref(0, 0, 0), 4),
        wmf_record(0x012D, 0), wmf_record(0x012D, 1),
        wmf_record(0x041B, 300, 400, 100, 100),
        wmf_record(0x0418, 700, 900, 400, 500),
        wmf_record(0x012D, 2), wmf_record(0x0106, 2),
        wmf_record(0x0324, 4, 50, 750, 250, 450, 450, 750, 250, 600),
        wmf_record(0x0538, 2, 3, 3, 600, 50, 950, 50, 775, 300, 650, 80, 900, 80, 775, 250),
        wmf_record(0x0214, 10, 10), wmf_record(0x0213, 790, 990),
        wmf_record(0x0325, 3, 500, 300, 600, 400, 700, 300),
        wmf_record(0x061C, 100, 100, 750, 980, 650, 820),
        wmf_record(0x001E), wmf_record(0x0201, *colorref(255, 255, 0)), wmf_record(0x0127, 0xFFFF),
        wmf_record(0x041F, *colorref(0, 0, 0), 5, 5),
        wmf_record(0x061D, 0x0021, 0x00F0, 50, 50, 20, 20),
        wmf_record(0x0F43, 0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 650, 50, raw=bmp),
        wmf_record(0x01F0, 2),
    ])


def emf_record(kind, payload):
    return struct.pack('<II', kind, 8 + len(payload)) + payload


def sample_emf():
    records = [
        emf_record(39, struct.pack('<IIII', 1, 0, 0x00FF8000, 0)),
        emf_record(38, struct.pack('<IIiiI', 2, 0, 3, 0, 0x000000FF)),
        emf_record(37, struct.pack('<I', 1)), emf_record(37, struct.pack('<I', 2)),
        emf_record(43, struct.pack('<iiii', 10, 10, 60, 40)),
        emf_record(42, struct.pack('<iiii', 30, 20, 90, 70)),
        emf_record(37, struct.pack('<I', 0x80000004)),
        emf_record(86, struct.pack('<iiiiI', 0, 0, 0, 0, 3) + struct.pack('<6h', 5, 75, 25, 55, 45, 75)),
        emf_record(27, struct.pack('<ii', 0, 0)), emf_record(54, struct.pack('<ii', 99, 79)),
        emf_record(14, struct.pack('<III', 0, 16, 20)),
    ]
    body = b''.join(records)
    header_size = 88
    total = header_size + len(body)
    header = struct.pack('<II4i4iIIIIHHIIIiiii', 1, header_size, 0, 0, 99, 79, 0, 0, 2646, 2116,
                         0x464D4520, 0x10000, total, len(records) + 1, 3, 0, 0, 0, 0, 1024, 768, 270, 203)
    return header + body


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'shapes.wmf'), 'wb') as f:
        f.write(sample_wmf())
    with open(os.path.join(out, 'shapes.emf'), 'wb') as f:
        f.write(sample_emf())


if __name__ == '__main__':
    main()
