#!/usr/bin/env python3
"""Writes a 24-bit .bmp strip of equal cells side by side, each one solid
colour from a fixed palette (cell 1 first) except its top-left pixel, which
is a corner colour, so pictures masked by that pixel still show their cell.
Usage: make-cell-strip.py OUT WIDTH HEIGHT CELLS"""
import struct
import sys

PALETTE = [(200, 30, 30), (30, 160, 40), (40, 60, 210), (230, 200, 20), (20, 190, 200), (120, 60, 20)]
CORNER = (1, 2, 3)


def main():
    out, width, height, cells = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    cw = width // cells
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            cell = min(x // cw, cells - 1) if x < width - cw else cells - 1
            first = cell * cw if cell < cells - 1 else width - cw
            r, g, b = CORNER if (y == 0 and x == first) else PALETTE[cell]
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (stride - width * 3))
    pixels = b"".join(reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
