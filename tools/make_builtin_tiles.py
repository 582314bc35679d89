#!/usr/bin/env python3
"""Draws the built-in tile set and the missing-tile picture (standard library only).

Writes into resources/tiles/:
  builtin_tiles.gif  the tile sheet (resource IMG 180): 800 x 1000, 4 columns x 5 rows of 200 x 200
                     cells, 4 colours (black, white, green, transparent); rows 1-4 hold the sixteen
                     passage patterns (pattern n at row (n-1)/4+1, column (n-1)%4+1, pattern 0 at row 4
                     column 4), row 5 the solution spot (column 1) and the blackened cell (column 2).
  builtin_tiles.txt  the definition (resource TILE 192), CR LF lines.
  missing_tile.bmp   the picture drawn for a cell kind a set has no tile for (resource BITMAP 176):
                     100 x 100, 8 bits per pixel.
Run from anywhere: tools/make_builtin_tiles.py. The outputs are committed; rerun after changing a drawing.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "tiles")

CELL = 200
COLS, ROWS = 4, 5
BLACK, WHITE, GREEN, CLEAR = 0, 1, 2, 3
SHEET_PALETTE = [(0, 0, 0), (255, 255, 255), (0, 255, 0), (255, 0, 255)]

# Wall bands: 11 pixels wide, 35..45 and 155..165 from the cell's left and top edges (inclusive).
NEAR = (35, 46)
FAR = (155, 166)
NORTH, EAST, SOUTH, WEST = 1, 2, 4, 8


def fill(px, width, x0, y0, x1, y1, colour):
    """Fills the half-open box [x0, x1) x [y0, y1) of a row-major pixel list."""
    for y in range(y0, y1):
        row = y * width
        for x in range(x0, x1):
            px[row + x] = colour


def draw_passage(px, width, ox, oy, code):
    """Walls of one cell whose open sides are the set bits of code."""
    def box(x0, y0, x1, y1):
        fill(px, width, ox + x0, oy + y0, ox + x1, oy + y1, BLACK)

    if code == 0:
        # Both pairs of lines right across the cell.
        for a, b in (NEAR, FAR):
            box(0, a, CELL, b)
            box(a, 0, b, CELL)
        return
    lo, hi = NEAR[0], FAR[1]
    # A closed side is a wall across the corridor; an open side carries both side walls to the edge.
    if code & NORTH:
        box(NEAR[0], 0, NEAR[1], NEAR[1])
        box(FAR[0], 0, FAR[1], NEAR[1])
    else:
        box(lo, NEAR[0], hi, NEAR[1])
    if code & SOUTH:
        box(NEAR[0], FAR[0], NEAR[1], CELL)
        box(FAR[0], FAR[0], FAR[1], CELL)
    else:
        box(lo, FAR[0], hi, FAR[1])
    if code & WEST:
        box(0, NEAR[0], NEAR[1], NEAR[1])
        box(0, FAR[0], NEAR[1], FAR[1])
    else:
        box(NEAR[0], lo, NEAR[1], hi)
    if code & EAST:
        box(FAR[0], NEAR[0], CELL, NEAR[1])
        box(FAR[0], FAR[0], CELL, FAR[1])
    else:
        box(FAR[0], lo, FAR[1], hi)


def draw_spot(px, width, ox, oy):
    """A green ellipse of 45 x 39 pixels in the middle of the cell."""
    rx, ry = 22.5, 19.5
    cx, cy = CELL / 2, CELL / 2
    for y in range(CELL):
        for x in range(CELL):
            dx = (x + 0.5 - cx) / rx
            dy = (y + 0.5 - cy) / ry
            if dx * dx + dy * dy <= 1.0:
                px[(oy + y) * width + ox + x] = GREEN


def cell_of(code):
    """1-based (row, column) of a passage pattern in the sheet."""
    if code == 0:
        return 4, 4
    return (code - 1) // 4 + 1, (code - 1) % 4 + 1


def draw_sheet():
    width, height = COLS * CELL, ROWS * CELL
    px = [CLEAR] * (width * height)
    for code in range(16):
        r, c = cell_of(code)
        draw_passage(px, width, (c - 1) * CELL, (r - 1) * CELL, code)
    draw_spot(px, width, 0, 4 * CELL)
    fill(px, width, CELL, 4 * CELL, 2 * CELL, 5 * CELL, BLACK)
    return width, height, px


# ---- GIF writing ----

def lzw_codes(pixels, min_size):
    """Variable-width LZW codes (code, width) of a GIF image data stream."""
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = eoi + 1
    out = [(clear, size)]
    w = ()
    for p in pixels:
        wp = w + (p,)
        if wp in table:
            w = wp
            continue
        out.append((table[w], size))
        if next_code < 4096:
            table[wp] = next_code
            # The decoder learns each entry one code later, so widen once the entry 2^size exists.
            if next_code == (1 << size) and size < 12:
                size += 1
            next_code += 1
        else:
            out.append((clear, size))
            table = {(i,): i for i in range(clear)}
            size = min_size + 1
            next_code = eoi + 1
        w = (p,)
    if w:
        out.append((table[w], size))
    out.append((eoi, size))
    return out


def pack_codes(codes):
    data = bytearray()
    acc = bits = 0
    for code, width in codes:
        acc |= code << bits
        bits += width
        while bits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        data.append(acc & 0xFF)
    return bytes(data)


def gif_bytes(width, height, px, palette, transparent):
    min_size = 2
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | 0x01, 0, 0)  # 4-entry global table
    for r, g, b in palette:
        out += bytes((r, g, b))
    out += bytes((0x21, 0xF9, 4, 0x01, 0, 0, transparent, 0))  # graphic control: transparent index
    out += bytes((0x2C,)) + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(min_size)
    data = pack_codes(lzw_codes(px, min_size))
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00;"
    return bytes(out)


# ---- the missing-tile picture ----

# 5 x 7 capitals, one string of five 0/1 per row.
FONT = {
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}

M_WHITE, M_BLACK, M_BLUE = 0, 1, 2
MISSING_PALETTE = [(255, 255, 255), (0, 0, 0), (0, 0, 255)]


def text(px, width, s, x0, y0, colour, scale):
    for i, ch in enumerate(s):
        rows = FONT[ch]
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit == "1":
                    x = x0 + (i * 6 + gx) * scale
                    y = y0 + gy * scale
                    fill(px, width, x, y, x + scale, y + scale, colour)


def centred(px, width, s, y, colour, scale):
    w = (len(s) * 6 - 1) * scale
    text(px, width, s, (width - w) // 2, y, colour, scale)


def draw_missing():
    size = 100
    px = [M_WHITE] * (size * size)
    for band in (0, size - 20):
        fill(px, size, 0, band, size, band + 20, M_BLACK)
        centred(px, size, "ERROR", band + 3, M_WHITE, 2)
    for i, line in enumerate(("TILE IS", "MISSING.", "EDIT TILE", "CONFIG FILE")):
        centred(px, size, line, 25 + i * 13, M_BLUE, 1)
    return size, size, px


def bmp_bytes(width, height, px, palette):
    stride = (width + 3) & ~3
    colours = 256
    table = bytearray()
    for i in range(colours):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    rows = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        rows += bytes(px[y * width:(y + 1) * width]) + b"\x00" * (stride - width)
    offset = 14 + 40 + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, colours, 0)
    return head + info + bytes(table) + bytes(rows)


def definition_text():
    lines = ["NAME: My Tile Design2", "BMPFILE: test1.gif", "PIXELSWIDE: 200", "PIXELSHIGH: 200",
             "TILE: 0,4,4"]
    for n in range(1, 16):
        r, c = cell_of(n)
        lines.append("TILE: %d,%d,%d" % (n, r, c))
    lines += ["TILE: SOLUTION,5,1", "TILE: BLACKEN,5,2"]
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def main():
    os.makedirs(OUT, exist_ok=True)
    w, h, px = draw_sheet()
    with open(os.path.join(OUT, "builtin_tiles.gif"), "wb") as f:
        f.write(gif_bytes(w, h, px, SHEET_PALETTE, CLEAR))
    with open(os.path.join(OUT, "builtin_tiles.txt"), "wb") as f:
        f.write(definition_text())
    w, h, px = draw_missing()
    with open(os.path.join(OUT, "missing_tile.bmp"), "wb") as f:
        f.write(bmp_bytes(w, h, px, MISSING_PALETTE))


if __name__ == "__main__":
    main()
