#!/usr/bin/env python3
"""Draws the toolbar button strips and the application icon as PNG files.

Every pixel is drawn here from simple shapes, so the images are our own. Run from anywhere:
    tools/make_toolbar_images.py            (writes into resources/images/)
The outputs are committed; rerun only after changing a drawing below.
"""
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")

CLEAR = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
GREY = (128, 128, 128, 255)
LIGHT = (200, 200, 200, 255)
DARK = (64, 64, 64, 255)
RED = (200, 30, 30, 255)
GREEN = (30, 160, 50, 255)
BLUE = (40, 70, 190, 255)
YELLOW = (235, 200, 60, 255)
BROWN = (150, 100, 40, 255)
SKY = (140, 190, 240, 255)


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[CLEAR] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Fills the inclusive rectangle."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c, t=1):
        for i in range(t):
            self.line(x0 + i, y0 + i, x1 - i, y0 + i, c)
            self.line(x0 + i, y1 - i, x1 - i, y1 - i, c)
            self.line(x0 + i, y0 + i, x0 + i, y1 - i, c)
            self.line(x1 - i, y0 + i, x1 - i, y1 - i, c)

    def line(self, x0, y0, x1, y1, c, t=1):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            for oy in range(t):
                for ox in range(t):
                    self.put(x0 + ox - t // 2, y0 + oy - t // 2, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def ring(self, cx, cy, r, c, t=1.0):
        for y in range(int(cy - r) - 2, int(cy + r) + 3):
            for x in range(int(cx - r) - 2, int(cx + r) + 3):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - t <= d <= r:
                    self.put(x, y, c)

    def polygon(self, pts, c):
        """Even-odd scanline fill through pixel centres."""
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % len(pts)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(int(a + 0.5), int(b + 0.5)):
                    self.put(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                if other.px[y][x][3]:
                    self.put(ox + x, oy + y, other.px[y][x])


def write_png(path, canvas):
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in canvas.px)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --- main toolbar, 16 x 15 buttons ---------------------------------------------------------

def page(c, x0, y0, x1, y1):
    c.fill(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, BLACK)


def small_new(c):
    page(c, 3, 1, 12, 13)
    c.fill(10, 1, 12, 3, CLEAR)
    c.line(9, 1, 12, 4, BLACK)
    c.line(9, 1, 9, 4, BLACK)
    c.line(9, 4, 12, 4, BLACK)


def small_open(c):
    c.polygon([(1, 4), (6, 4), (7, 5), (13, 5), (13, 13), (1, 13)], YELLOW)
    c.frame(1, 5, 13, 13, BROWN)
    c.polygon([(3, 8), (15, 8), (13, 13), (1, 13)], (250, 225, 110, 255))
    c.line(3, 8, 15, 8, BROWN)
    c.line(15, 8, 13, 13, BROWN)


def small_save(c):
    c.fill(1, 1, 14, 13, BLUE)
    c.fill(4, 1, 11, 6, WHITE)
    c.fill(4, 9, 11, 13, LIGHT)
    c.fill(8, 10, 9, 12, DARK)
    c.frame(1, 1, 14, 13, BLACK)


def small_cut(c):
    c.line(5, 1, 9, 8, GREY)
    c.line(10, 1, 6, 8, GREY)
    c.ring(4.5, 11, 3, BLACK, 1.4)
    c.ring(11.5, 11, 3, BLACK, 1.4)


def small_copy(c):
    page(c, 1, 1, 8, 9)
    page(c, 6, 5, 14, 14)
    for y in (8, 10, 12):
        c.line(8, y, 12, y, GREY)


def small_paste(c):
    c.fill(2, 2, 12, 14, BROWN)
    c.fill(5, 1, 9, 3, GREY)
    page(c, 6, 6, 14, 14)
    for y in (8, 10, 12):
        c.line(8, y, 12, y, GREY)


def small_print(c):
    page(c, 4, 1, 11, 6)
    c.fill(1, 6, 14, 11, LIGHT)
    c.frame(1, 6, 14, 11, BLACK)
    c.fill(12, 8, 13, 8, GREEN)
    page(c, 4, 10, 11, 14)


def small_about(c):
    c.disc(7.5, 7, 6.5, BLUE)
    c.fill(7, 3, 8, 4, WHITE)
    c.fill(7, 6, 8, 11, WHITE)


def layers(c, highlight):
    # Four stacked sheets seen from the side; the highlighted one is the layer the button selects.
    for i in range(4):
        y = 11 - i * 3
        col = RED if i == highlight else GREY
        c.polygon([(1, y), (8, y - 2), (15, y), (8, y + 2)], col if i == highlight else LIGHT)
        c.line(1, y, 8, y - 2, col)
        c.line(8, y - 2, 15, y, col)
        c.line(15, y, 8, y + 2, col)
        c.line(8, y + 2, 1, y, col)


MAIN = [small_new, small_open, small_save, small_cut, small_copy, small_paste, small_print, small_about,
        lambda c: layers(c, 0), lambda c: layers(c, 1), lambda c: layers(c, 2), lambda c: layers(c, 3)]


# --- edit toolbar, 40 x 40 buttons ---------------------------------------------------------

def grid(c, x0, y0, n, s, col=GREY):
    for i in range(n + 1):
        c.line(x0 + i * s, y0, x0 + i * s, y0 + n * s, col)
        c.line(x0, y0 + i * s, x0 + n * s, y0 + i * s, col)


def big_setup(c):
    grid(c, 4, 4, 4, 8)
    c.disc(27, 27, 9, DARK)
    c.disc(27, 27, 4, LIGHT)
    for dx, dy in ((0, -11), (0, 11), (-11, 0), (11, 0), (-8, -8), (8, 8), (-8, 8), (8, -8)):
        c.disc(27 + dx * 0.9, 27 + dy * 0.9, 2.5, DARK)


def big_delete(c):
    c.line(8, 8, 31, 31, RED, 5)
    c.line(31, 8, 8, 31, RED, 5)


def cell_tool(c, fill):
    grid(c, 2, 2, 3, 12, GREY)
    c.fill(15, 15, 25, 25, fill)
    c.frame(14, 14, 26, 26, BLACK, 2)


def big_reset(c):
    cell_tool(c, WHITE)
    c.ring(20, 20, 4, GREEN, 1.5)
    c.polygon([(22, 14), (27, 16), (22, 19)], GREEN)


def big_blacken(c):
    cell_tool(c, BLACK)


def big_whiten(c):
    cell_tool(c, WHITE)
    for i in range(14, 27, 2):
        c.put(i, 14, WHITE)
        c.put(i, 26, WHITE)
        c.put(14, i, WHITE)
        c.put(26, i, WHITE)


def stack(c, up):
    page(c, 6, 6, 25, 25)
    page(c, 12, 12, 31, 31)
    if up:
        c.polygon([(28, 2), (36, 12), (31, 12), (31, 20), (25, 20), (25, 12), (20, 12)], GREEN)
    else:
        c.polygon([(28, 38), (36, 28), (31, 28), (31, 20), (25, 20), (25, 28), (20, 28)], RED)


def big_start(c):
    grid(c, 2, 2, 3, 12)
    c.polygon([(12, 8), (32, 20), (12, 32)], GREEN)


def big_stop(c):
    grid(c, 2, 2, 3, 12)
    pts = [(14, 5), (26, 5), (35, 14), (35, 26), (26, 35), (14, 35), (5, 26), (5, 14)]
    c.polygon(pts, RED)
    c.fill(11, 18, 29, 22, WHITE)


def big_solution(c):
    grid(c, 2, 2, 3, 12)
    c.line(8, 32, 8, 20, RED, 3)
    c.line(8, 20, 20, 20, RED, 3)
    c.line(20, 20, 20, 8, RED, 3)
    c.line(20, 8, 32, 8, RED, 3)


def big_grow(c):
    grid(c, 2, 2, 3, 12)
    c.ring(20, 20, 10, BLUE, 2)
    c.line(20, 4, 20, 36, BLUE, 2)
    c.line(4, 20, 36, 20, BLUE, 2)
    c.disc(20, 20, 3, GREEN)


EDIT = [big_setup, big_delete, big_reset, big_blacken, big_whiten, lambda c: stack(c, True),
        lambda c: stack(c, False), big_start, big_stop, big_solution, big_grow]


def icon(size):
    """A small maze: a walled square with a path through it."""
    c = Canvas(size, size)
    s = size / 32.0

    def r(v):
        return int(round(v * s))
    c.fill(0, 0, size - 1, size - 1, WHITE)
    c.frame(0, 0, size - 1, size - 1, BLACK, max(1, r(2)))
    walls = [((8, 2), (8, 22)), ((16, 10), (16, 30)), ((24, 2), (24, 22)), ((8, 22), (14, 22)),
             ((18, 10), (24, 10))]
    for (xa, ya), (xb, yb) in walls:
        c.line(r(xa), r(ya), r(xb), r(yb), BLACK, max(1, r(2)))
    path = [(4, 0), (4, 27), (12, 27), (12, 6), (20, 6), (20, 27), (28, 27), (28, 31)]
    for (xa, ya), (xb, yb) in zip(path, path[1:]):
        c.line(r(xa), r(ya), r(xb), r(yb), RED, max(1, r(2)))
    return c


def strip(drawers, w, h):
    out = Canvas(w * len(drawers), h)
    for i, draw in enumerate(drawers):
        c = Canvas(w, h)
        draw(c)
        out.blit(c, i * w, 0)
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "toolbar128.png"), strip(MAIN, 16, 15))
    write_png(os.path.join(OUT, "toolbar159.png"), strip(EDIT, 40, 40))
    for size in (16, 32, 48):
        write_png(os.path.join(OUT, "icon128_%d.png" % size), icon(size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
