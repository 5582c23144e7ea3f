#!/usr/bin/env python3
"""Writes a 24-bit .bmp strip of equal cells side by side, each one solid
colour from a fixed palette (cell 1 first), for the skin tests. With
--corner, each cell's top-left pixel is a corner colour instead, so pictures
masked by that pixel still show their cell.
Usage: make-cell-strip.py [--corner] OUT WIDTH HEIGHT CELLS"""
import struct
import sys

# (R, G, B) of cells 1, 2, ...; never magenta, which the drawing masks.
PALETTE = [(200, 30, 30), (30, 160, 40), (40, 60, 210), (230, 200, 20), (20, 190, 200), (120, 60, 20),
           (90, 90, 90), (250, 140, 0)]
CORNER = (1, 2, 3)


def main():
    args = sys.argv[1:]
    corner = args[0] == "--corner"
    if corner:
        args = args[1:]
    out, width, height, cells = args[0], int(args[1]), int(args[2]), int(args[3])
    cw = width // cells
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            # The last cell lies against the right edge; a remainder goes to the one before.
            cell = min(x // cw, cells - 1) if x < width - cw else cells - 1
            first = cell * cw if cell < cells - 1 else width - cw
            r, g, b = CORNER if (corner and y == 0 and x == first) else PALETTE[cell]
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (stride - width * 3))
    pixels = b"".join(reversed(rows))  # bottom-up
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
