#!/usr/bin/env python3
"""Draws the splash, watermark and backdrop bitmaps (standard library only).

Writes into resources/periph/:
  splash.bmp     the splash picture (resource BITMAP 168): 400 x 400, 8 bits per pixel, run-length
                 encoded (BI_RLE8) with a 256-colour table: a framed maze on a blue gradient.
  watermark.bmp  the page watermark (resource BITMAP 171): 64 x 64, 24 bits per pixel, four pale
                 quadrants (top left blue, top right rose, bottom left green, bottom right sand), each
                 with a thin grey frame 4 pixels in from its edges.
  backdrop.bmp   the empty window's backdrop (resource BITMAP 160): 96 x 64, 24 bits per pixel, a maze
                 of 8-pixel cells in dark blue on slate.
Run from anywhere: tools/make_splash_images.py. The outputs are committed; rerun after changing a drawing.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "periph")


class Lcg:
    """The program's own generator form, so the pictures are the same on every run."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF


def maze_walls(cols, rows, seed):
    """A perfect maze by depth-first carving; returns the set of open (cell, cell) pairs."""
    rng = Lcg(seed)
    seen = {(0, 0)}
    stack = [(0, 0)]
    open_pairs = set()
    while stack:
        x, y = stack[-1]
        nbrs = [(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                if 0 <= x + dx < cols and 0 <= y + dy < rows and (x + dx, y + dy) not in seen]
        if not nbrs:
            stack.pop()
            continue
        n = nbrs[rng.next() % len(nbrs)]
        open_pairs.add(((x, y), n))
        open_pairs.add((n, (x, y)))
        seen.add(n)
        stack.append(n)
    return open_pairs


def draw_maze(px, width, ox, oy, cols, rows, cell, colour, seed):
    """Walls one pixel wide along the cell edges of a maze whose top-left corner is (ox, oy)."""
    pairs = maze_walls(cols, rows, seed)

    def hline(x0, x1, y):
        for x in range(x0, x1 + 1):
            px[y * width + x] = colour

    def vline(x, y0, y1):
        for y in range(y0, y1 + 1):
            px[y * width + x] = colour

    hline(ox, ox + cols * cell, oy)
    vline(ox, oy, oy + rows * cell)
    for y in range(rows):
        for x in range(cols):
            x1, y1 = ox + (x + 1) * cell, oy + (y + 1) * cell
            if ((x, y), (x + 1, y)) not in pairs:
                vline(x1, y1 - cell, y1)
            if ((x, y), (x, y + 1)) not in pairs:
                hline(x1 - cell, x1, y1)


def bmp_file(width, height, bits, compression, palette, data):
    """A BMP file: file header, 40-byte info header, colour table, pixel data."""
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data), 3780, 3780,
                       len(palette), len(palette))
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + table + data


def rgb24(width, height, px):
    """Bottom-up rows of blue, green, red bytes padded to 4 bytes; px holds (r, g, b) top-down."""
    stride = (width * 3 + 3) & ~3
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = px[y * width + x]
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        out += row
    return bytes(out)


def rle8(width, height, px):
    """BI_RLE8: encoded runs of at most 255, an end of line after every row, the end of the bitmap."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = px[y * width:(y + 1) * width]
        x = 0
        while x < width:
            v = row[x]
            n = 1
            while x + n < width and n < 255 and row[x + n] == v:
                n += 1
            out += bytes((n, v))
            x += n
        out += b"\0\0"
    out[-2:] = b"\0\1"
    return bytes(out)


def splash():
    w = h = 400
    # 0..191: gradient from deep to light blue; 250 black; 251 white; 252 gold.
    palette = [(20 + i // 4, 40 + i // 2, 110 + i * 2 // 3) for i in range(192)]
    palette += [(0, 0, 0)] * (250 - len(palette))
    palette += [(0, 0, 0), (255, 255, 255), (240, 200, 60)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    px = [0] * (w * h)
    for y in range(h):
        shade = y * 191 // (h - 1)
        for x in range(w):
            px[y * w + x] = shade
    # A white card with a gold maze, inside a gold frame 6 pixels wide.
    for y in range(40, 360):
        for x in range(40, 360):
            px[y * w + x] = 251
    for y in range(30, 370):
        for x in range(30, 370):
            if x < 36 or x >= 364 or y < 36 or y >= 364:
                px[y * w + x] = 252
    draw_maze(px, w, 60, 60, 14, 14, 20, 250, 168)
    return bmp_file(w, h, 8, 1, palette, rle8(w, h, px))


def watermark():
    w = h = 64
    tints = [(232, 238, 255), (255, 234, 236), (234, 250, 234), (250, 246, 226)]
    frame = (214, 214, 214)
    px = []
    for y in range(h):
        for x in range(w):
            q = (1 if x >= w // 2 else 0) + (2 if y >= h // 2 else 0)
            lx, ly = x % (w // 2), y % (h // 2)
            on_frame = (lx in (4, w // 2 - 5) and 4 <= ly <= h // 2 - 5) or \
                       (ly in (4, h // 2 - 5) and 4 <= lx <= w // 2 - 5)
            px.append(frame if on_frame else tints[q])
    return bmp_file(w, h, 24, 0, [], rgb24(w, h, px))


def backdrop():
    w, h = 96, 64
    slate, ink = (70, 84, 110), (24, 34, 64)
    px = [slate] * (w * h)
    draw_maze(px, w, 0, 0, 11, 7, 8, ink, 160)
    return bmp_file(w, h, 24, 0, [], rgb24(w, h, px))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in (("splash.bmp", splash()), ("watermark.bmp", watermark()), ("backdrop.bmp", backdrop())):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
