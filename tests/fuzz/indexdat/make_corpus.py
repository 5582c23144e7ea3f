#!/usr/bin/env python3
# Writes the seed corpus: small index.dat files with tables, entries and
# records of each kind, and a few damaged ones. Run once; the files are kept.
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
SIG = b"Client UrlCache MMF Ver 5.2"


def base(size, first=0x100):
    b = bytearray(b"\xee" * size)
    b[0:len(SIG)] = SIG
    struct.pack_into("<ii", b, 0x1C, size, first)
    return b


def table(b, at, blocks, nxt):
    b[at:at + 4] = b"HASH"
    struct.pack_into("<ii", b, at + 4, blocks, nxt)
    for e in range(at + 32, min(at + blocks * 128, len(b)) - 7, 8):
        struct.pack_into("<Bxxxi", b, e, 1, 0)


def entry(b, at, hashbyte, rec):
    struct.pack_into("<Bxxxi", b, at, hashbyte, rec)


def url(b, at, kind, off, text):
    b[at:at + 4] = kind
    struct.pack_into("<Q", b, at + 16, 0x01D0000012345678)
    b[at + 0x34] = off
    if off:
        b[at + off:at + off + len(text) + 1] = text + b"\0"


def redr(b, at, text):
    b[at:at + 4] = b"REDR"
    struct.pack_into("<Q", b, at + 8, 42)
    b[at + 16:at + 17 + len(text)] = text + b"\0"


files = {}
b = base(0x1000); table(b, 0x100, 2, 0x600); table(b, 0x600, 2, 0)
entry(b, 0x120, 0x80, 0x300); url(b, 0x300, b"URL ", 0x68, b"http://example.test/a")
entry(b, 0x128, 0x80, 0x400); url(b, 0x400, b"LEAK", 0x60, b"http://example.test/leak")
entry(b, 0x620, 0x80, 0x800); redr(b, 0x800, b"http://example.test/moved")
entry(b, 0x628, 1, 0x900); url(b, 0x900, b"URL ", 0x68, b"http://free.test/")
files["two-tables"] = b
b = base(0x800); table(b, 0x100, 2, 0x300); table(b, 0x300, 2, 0x100)
entry(b, 0x120, 0x80, 0x500); url(b, 0x500, b"URL ", 0, b"")
files["cycle"] = b
b = base(0x600); struct.pack_into("<i", b, 0x1C, 0x7FFFFFFF); table(b, 0x100, 0x7FFFFFFF, 0)
entry(b, 0x120, 0x80, 0x5F0); b[0x5F0:0x5F4] = b"URL "
files["huge-sizes"] = b
b = base(0x400); table(b, 0x100, 2, 0); entry(b, 0x120, 0x80, 0x380); b[0x380:0x384] = b"ABCD"
entry(b, 0x128, 0x80, -16); entry(b, 0x130, 0x80, 0x3FE)
files["bad-records"] = b
b = base(0x300, first=-4); files["negative-table"] = b
b = base(0x400); table(b, 0x100, -3, 0); b[0:4] = b"XXXX"; files["foreign"] = b
files["short"] = bytearray(SIG[:10])
os.makedirs(here, exist_ok=True)
for name, data in files.items():
    with open(os.path.join(here, name + ".dat"), "wb") as f:
        f.write(bytes(data))
