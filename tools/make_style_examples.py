#!/usr/bin/env python3
"""Draws the Style page's example pictures of the template types (standard library only).

Writes 100 x 100, 24-bit bitmaps into maze/setup/examples/, black lines on white:
  box.bmp (BITMAP 154)            a 5 x 5 grid of square cells
  triangular.bmp (155)            rows of alternating up and down triangles
  octagon_box.bmp (156)           octagons with small squares between them
  hex.bmp (157)                   a honeycomb of hexagons
  quad_triangle.bmp (161)         squares cut along both diagonals
  trapezoid_box.bmp (162)         rows of alternating trapezoids
  circular.bmp (165)              four rings cut into cells by radial walls
Run from anywhere: tools/make_style_examples.py. The outputs are committed; rerun after changing a drawing.
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "maze", "setup", "examples")
SIZE = 100


def new_canvas():
    return [[(255, 255, 255)] * SIZE for _ in range(SIZE)]


def line(px, x0, y0, x1, y1):
    """A one-pixel line by stepping along its longer axis; points outside the picture are skipped."""
    steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
    for i in range(steps + 1):
        t = i / steps
        x = int(round(x0 + (x1 - x0) * t))
        y = int(round(y0 + (y1 - y0) * t))
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = (0, 0, 0)


def polygon(px, pts):
    for (a, b) in zip(pts, pts[1:] + pts[:1]):
        line(px, a[0], a[1], b[0], b[1])


def box(px):
    for i in range(6):
        v = 5 + i * 18
        line(px, 5, v, 95, v)
        line(px, v, 5, v, 95)


def triangular(px):
    h = 18
    for r in range(5):
        y0, y1 = 5 + r * h, 5 + (r + 1) * h
        line(px, 5, y0, 95, y0)
        for k in range(-1, 6):
            x = 5 + k * 20 + (10 if r % 2 else 0)
            line(px, x, y1, x + 10, y0)
            line(px, x + 10, y0, x + 20, y1)
    line(px, 5, 95, 95, 95)


def octagon_box(px):
    s = 30
    c = 9
    for gy in range(4):
        for gx in range(4):
            x, y = 5 + gx * s - s // 2, 5 + gy * s - s // 2
            polygon(px, [(x + c, y), (x + s - c, y), (x + s, y + c), (x + s, y + s - c),
                         (x + s - c, y + s), (x + c, y + s), (x, y + s - c), (x, y + c)])


def hex_grid(px):
    r = 12
    w = math.sqrt(3) * r
    for row in range(6):
        for col in range(6):
            cx = 5 + col * w + (w / 2 if row % 2 else 0)
            cy = 5 + row * 1.5 * r
            pts = [(cx + r * math.cos(math.radians(60 * k + 30)), cy + r * math.sin(math.radians(60 * k + 30)))
                   for k in range(6)]
            polygon(px, pts)


def quad_triangle(px):
    box(px)
    for i in range(5):
        for j in range(5):
            x, y = 5 + i * 18, 5 + j * 18
            line(px, x, y, x + 18, y + 18)
            line(px, x + 18, y, x, y + 18)


def trapezoid_box(px):
    h = 18
    for r in range(6):
        y = 5 + r * h
        line(px, 5, y, 95, y)
    for r in range(5):
        y0, y1 = 5 + r * h, 5 + (r + 1) * h
        for k in range(-1, 5):
            x = 5 + k * 24 + (12 if r % 2 else 0)
            line(px, x + 6, y0, x, y1)
            line(px, x + 18, y0, x + 24, y1)


def circular(px):
    cx = cy = 49.5
    radii = [8, 18, 28, 38, 47]
    for r in radii:
        n = int(2 * math.pi * r)
        for i in range(n):
            a = 2 * math.pi * i / n
            px[int(round(cy + r * math.sin(a)))][int(round(cx + r * math.cos(a)))] = (0, 0, 0)
    for ring, count in enumerate([4, 8, 12, 16]):
        for k in range(count):
            a = 2 * math.pi * k / count
            r0, r1 = radii[ring], radii[ring + 1]
            line(px, cx + r0 * math.cos(a), cy + r0 * math.sin(a), cx + r1 * math.cos(a), cy + r1 * math.sin(a))


def write_bmp(path, px):
    row = SIZE * 3
    pad = (4 - row % 4) % 4
    data = b"".join(b"".join(bytes((b, g, r)) for (r, g, b) in px[y]) + b"\0" * pad for y in range(SIZE - 1, -1, -1))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, draw in [("box", box), ("triangular", triangular), ("octagon_box", octagon_box), ("hex", hex_grid),
                       ("quad_triangle", quad_triangle), ("trapezoid_box", trapezoid_box), ("circular", circular)]:
        px = new_canvas()
        draw(px)
        write_bmp(os.path.join(OUT, name + ".bmp"), px)


if __name__ == "__main__":
    main()
