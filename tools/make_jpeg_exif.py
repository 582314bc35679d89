#!/usr/bin/env python3
"""Writes EXIF blocks by hand, in both byte orders, for the JPEG fuzz corpora.

Usage: make_jpeg_exif.py BASE.jpg JPEG_DIR EXIF_DIR
Writes JPEG_DIR/exif-ii.jpg and exif-mm.jpg (BASE with a comment and the EXIF block inserted after
its JFIF header) and EXIF_DIR/ii.bin and mm.bin (the APP1 payloads alone).
"""
import struct
import sys


def tiff(order):
    e = '<' if order == b'II' else '>'
    # Entries: (tag, format, count, value bytes). Values longer than 4 bytes go to a data area.
    ifd0 = [
        (0x010F, 2, b'Maker Co\0'),
        (0x0110, 2, b'Model 7\0'),
        (0x0112, 3, struct.pack(e + 'H', 6)),
        (0x011A, 5, struct.pack(e + 'II', 72, 1)),
        (0x011B, 5, struct.pack(e + 'II', 144, 2)),
        (0x0128, 3, struct.pack(e + 'H', 2)),
        (0x8769, 4, None),  # EXIF sub-directory, filled below
    ]
    sub = [
        (0x829A, 5, struct.pack(e + 'II', 1, 250)),
        (0x829D, 5, struct.pack(e + 'II', 28, 10)),
        (0x8827, 3, struct.pack(e + 'H', 4)),
        (0x9000, 7, b'0230'),
        (0x9003, 2, b'2024:01:02 03:04:05\0'),
        (0x9209, 3, struct.pack(e + 'H', 0x19)),
        (0x920A, 5, struct.pack(e + 'II', 50, 1)),
        (0x9286, 7, b'ASCII\0\0\0hello   '),
        (0xA002, 4, struct.pack(e + 'I', 640)),
        (0xA20E, 5, struct.pack(e + 'II', 1000, 1)),
        (0xA210, 3, struct.pack(e + 'H', 2)),
    ]
    ifd1 = [(0x0201, 4, None), (0x0202, 4, struct.pack(e + 'I', 4))]
    sizes = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 7: 1}

    def layout(entries, at, next_offset, patch):
        n = len(entries)
        data_at = at + 2 + 12 * n + 4
        head = struct.pack(e + 'H', n)
        data = b''
        for tag, fmt, val in entries:
            if val is None:
                val = struct.pack(e + 'I', patch[tag])
            count = len(val) // sizes[fmt]
            if len(val) > 4:
                head += struct.pack(e + 'HHII', tag, fmt, count, data_at + len(data))
                data += val
            else:
                head += struct.pack(e + 'HHI', tag, fmt, count) + val.ljust(4, b'\0')
        return head + struct.pack(e + 'I', next_offset) + data

    ifd0_at = 8
    size0 = len(layout(ifd0, ifd0_at, 0, {0x8769: 0}))
    sub_at = ifd0_at + size0
    size_sub = len(layout(sub, sub_at, 0, {}))
    ifd1_at = sub_at + size_sub
    size1 = len(layout(ifd1, ifd1_at, 0, {0x0201: 0}))
    thumb_at = ifd1_at + size1
    out = order + struct.pack(e + 'HI', 0x2A, ifd0_at)
    out += layout(ifd0, ifd0_at, ifd1_at, {0x8769: sub_at})
    out += layout(sub, sub_at, 0, {})
    out += layout(ifd1, ifd1_at, 0, {0x0201: thumb_at})
    out += b'\xff\xd8\xff\xd9'
    return out


def main():
    base, jpeg_dir, exif_dir = sys.argv[1:4]
    jpg = open(base, 'rb').read()
    assert jpg[:4] == b'\xff\xd8\xff\xe0'
    jfif_end = 4 + struct.unpack('>H', jpg[4:6])[0]
    for order, name in ((b'II', 'ii'), (b'MM', 'mm')):
        payload = b'Exif\0\0' + tiff(order)
        open(f'{exif_dir}/{name}.bin', 'wb').write(payload)
        app1 = b'\xff\xe1' + struct.pack('>H', len(payload) + 2) + payload
        com = b'\xff\xfe' + struct.pack('>H', 2 + 11) + b'first\r\nnote'
        com2 = b'\xff\xfe' + struct.pack('>H', 2 + 6) + b'second'
        open(f'{jpeg_dir}/exif-{name}.jpg', 'wb').write(jpg[:jfif_end] + app1 + com + com2 + jpg[jfif_end:])


if __name__ == '__main__':
    main()
