#!/usr/bin/env python3
"""Writes seeds into corpus/ that reach every pixel form of the bitmap decoder
(bit-field masks, 4- and 8-bit run-length images, 1-, 4-, 16- and 32-bit
rows), pictures shared by several records, and skins whose items the look-ups
find and whose strips are cut: as bare pictures, as skin data and inside
stored and deflated archives, and the largest skin the program accepts.
Names are the SHA-1 of the content, as the fuzzer names what it keeps. Run it
again after changing it; commit corpus/. With --largest it writes only that
last one, which the fuzz script puts back after merging the corpus.
"""
import hashlib
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "skin_file"))
from make_test_data import Entry, make_zip, sk2  # noqa: E402

RGB = (0x000000, 0xFF0000, 0x00FF00, 0x0000FF)


def bmp_of(width, height, bits, compression, pixels, palette=(), masks=()):
    """A .bmp image whose `pixels` are given as stored; masks follow the header."""
    extra = b"".join(struct.pack("<I", m) for m in masks)
    pal = b"".join(struct.pack("<I", c) for c in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(extra) + len(pal)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + extra + pal + bytes(pixels)


def rows(width, height, bits, value):
    stride = ((width * bits + 31) // 32) * 4
    return bytes(value(i) & 0xFF for i in range(stride * height))


def pictures():
    return {
        "rle8": bmp_of(7, 3, 8, 1, [3, 1, 0, 2, 2, 1, 2, 2, 0, 0, 0, 4, 1, 2, 3, 0, 0, 0, 9, 3, 0, 1], RGB),
        "rle4": bmp_of(6, 2, 4, 2, [5, 0x12, 0, 0, 0, 4, 0x21, 0x30, 0, 2, 1, 1, 0, 1], RGB),
        "bitfields16": bmp_of(6, 2, 16, 3, rows(6, 2, 16, lambda i: i * 37), (), (0xF800, 0x07E0, 0x001F)),
        "bitfields32": bmp_of(5, 2, 32, 3, rows(5, 2, 32, lambda i: i * 11), (), (0xFF, 0xFF00, 0xFF0000)),
        "rgb16": bmp_of(6, 1, 16, 0, rows(6, 1, 16, lambda i: i * 53)),
        "rgb24": bmp_of(10, 2, 24, 0, rows(10, 2, 24, lambda i: i * 7)),
        "rgb32": bmp_of(5, 1, 32, 0, rows(5, 1, 32, lambda i: i * 13)),
        "mono": bmp_of(9, 2, 1, 0, rows(9, 2, 1, lambda i: 0x5A), RGB[:2]),
        "nibbles": bmp_of(7, 2, 4, 0, rows(7, 2, 4, lambda i: 0x12 + i % 2), RGB),
        "bytes": bmp_of(8, 2, 8, 0, rows(8, 2, 8, lambda i: i % 4), RGB),
    }


def skin_data(pics):
    records = [
        ("SKIN2_FORMCOLOR", 1, struct.pack("<i", 0xC0C0C0)),
        ("SKIN2_TITLEBARICONPOSX", 1, struct.pack("<i", 7)),
        ("SKIN2_BUTTONTRANS", 2, b"\x01"),
        ("SKIN2_ABOUT", 3, b"seed"),
    ]
    keys = ["SKIN2_TITLEBAR1", "SKIN2_BUTTON", "SKIN2_CHECKBOX", "SKIN2_RADIOBUTTON", "SKIN2_TITLEBUTTONS",
            "SKIN2_PROGRESSBAR1", "SKIN2_TRACKBAR", "SKIN2_SCROLLBAR", "SKIN2_TABCONTROL", "SKIN2_MENUBAR"]
    records += [(key, 0, pic) for key, pic in zip(keys, pics.values())]
    return sk2(records)


def shared_picture(records):
    """Records that all point at one run-length picture."""
    data = bytearray(sk2([("SKIN2_BUTTON%d" % i, 0, b"") for i in range(records)]))
    picture = pictures()["rle8"]
    at = len(data)
    for i in range(records):
        struct.pack_into("<II", data, 24 + 77 * i + 65, at, len(picture))
    return bytes(data) + picture


def largest_accepted():
    """The largest shape the program loads: an entry of 64 MB, all but 2 MB
    of it behind the records, with four 4096x1000 one-bit pictures that keep
    62.5 MB of pixels. About 64 KB deflated. The fuzzer must run it within
    its own limits of time and memory, as the program does."""
    picture = bmp_of(4096, 1000, 1, 0, bytes(4096 // 8 * 1000), RGB[:2])
    keys = ["SKIN2_TITLEBAR1", "SKIN2_TITLEBAR2", "SKIN2_TITLEBAR3", "SKIN2_MENUBAR"]
    data = sk2([(key, 0, picture) for key in keys])
    data += bytes(64 * 1024 * 1024 - len(data))
    return make_zip([Entry("SKINDATA.SK2", data)])


def main():
    out = os.path.join(HERE, "corpus")
    if sys.argv[1:] == ["--largest"]:
        seed = largest_accepted()
        with open(os.path.join(out, hashlib.sha1(seed).hexdigest()), "wb") as f:
            f.write(seed)
        return
    pics = pictures()
    seeds = list(pics.values())
    data = skin_data(pics)
    seeds += [data, shared_picture(40)]
    seeds += [make_zip([Entry("SKINDATA.SK2", data, method=m)]) for m in (0, 8)]
    seeds.append(make_zip([Entry("SKINDATA.SK2", shared_picture(40))]))
    seeds.append(largest_accepted())
    for seed in seeds:
        with open(os.path.join(out, hashlib.sha1(seed).hexdigest()), "wb") as f:
            f.write(seed)
    print("%d seeds written to %s" % (len(seeds), out))


if __name__ == "__main__":
    main()
