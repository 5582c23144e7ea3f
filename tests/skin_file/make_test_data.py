#!/usr/bin/env python3
"""Writes the skin archives and deflate streams the skin-file tests read.

Compression comes from zlib (the reference implementation, used here only to
make test data); the archive layout, the "SK" mark and the traditional
password encryption are written by hand. Run it again after changing it and
commit the files it writes into data/.
"""
import os
import random
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "data")
DOS_TIME = 0x6A3C  # 13:17:56
DOS_DATE = 0x5A87


def deflate(data, level=9, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 8, strategy)
    return c.compress(data) + c.flush()


CRC_TABLE = []
for n in range(256):
    c = n
    for _ in range(8):
        c = (0xEDB88320 ^ (c >> 1)) if c & 1 else c >> 1
    CRC_TABLE.append(c)


class Keys:
    def __init__(self, password):
        self.k = [0x12345678, 0x23456789, 0x34567890]
        for ch in password:
            self.update(ch)

    def update(self, b):
        k0, k1, k2 = self.k
        k0 = CRC_TABLE[(k0 ^ b) & 0xFF] ^ (k0 >> 8)
        k1 = ((k1 + (k0 & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        k2 = CRC_TABLE[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8)
        self.k = [k0, k1, k2]

    def stream(self):
        t = (self.k[2] | 2) & 0xFFFF
        return ((t * (t ^ 1)) >> 8) & 0xFF

    def encrypt(self, data):
        out = bytearray()
        for b in data:
            out.append(b ^ self.stream())
            self.update(b)
        return bytes(out)


class Entry:
    def __init__(self, name, data, method=8, password=b"", descriptor=False, strategy=zlib.Z_DEFAULT_STRATEGY,
                 level=9, announced=None, local_extra=b"", central_extra=b""):
        self.name, self.data, self.method = name, data, method
        self.local_extra, self.central_extra = local_extra, central_extra
        self.password, self.descriptor = password, descriptor
        self.strategy, self.level, self.announced = strategy, level, announced


def make_zip(entries, mark=b"SK", comment=b""):
    body, central = bytearray(), bytearray()
    rng = random.Random(7)
    for e in entries:
        crc = zlib.crc32(e.data)
        payload = deflate(e.data, e.level, e.strategy) if e.method == 8 else e.data
        flags = 0
        if e.password:
            flags |= 1
            check = (DOS_TIME >> 8) if e.descriptor else (crc >> 24)
            header = bytes(rng.randrange(256) for _ in range(11)) + bytes([check])
            payload = Keys(e.password).encrypt(header + payload)
        if e.descriptor:
            flags |= 8
        size = len(e.data) if e.announced is None else e.announced
        name = e.name.encode("ascii")
        offset = len(body)
        sizes = (0, 0, 0) if e.descriptor else (crc, len(payload), size)
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, e.method, DOS_TIME, DOS_DATE, *sizes,
                            len(name), len(e.local_extra)) + name + e.local_extra + payload
        if e.descriptor:
            body += struct.pack("<IIII", 0x08074B50, crc, len(payload), size)
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, flags, e.method, DOS_TIME, DOS_DATE,
                               crc, len(payload), size, len(name), len(e.central_extra), 0, 0, 0, 0,
                               offset) + name + e.central_extra
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(body),
                      len(comment)) + comment
    whole = bytes(body + central + end)
    return mark + whole[2:]


def time_field(*times):
    """The extra field common zip tools write: "UT", flags, Unix times."""
    return struct.pack("<HHB", 0x5455, 1 + 4 * len(times), (1 << len(times)) - 1) + \
        b"".join(struct.pack("<I", t) for t in times)


def owner_field():
    """The "ux" field of the file's owner ids."""
    return struct.pack("<HHBBIBI", 0x7875, 11, 1, 4, 1000, 4, 1000)


def bmp(width, height, bits, pixels, palette=()):
    """A bottom-up .bmp image; pixels are rows top first, each a list of values."""
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for row in reversed(pixels):
        if bits == 24:
            raw = b"".join(struct.pack("<BBB", p & 0xFF, (p >> 8) & 0xFF, p >> 16) for p in row)
        elif bits == 8:
            raw = bytes(row)
        raw += b"\0" * (stride - len(raw))
        rows.append(raw)
    image = b"".join(rows)
    pal = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(image), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(pal)
    return struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset) + info + pal + image


def sk2(records):
    """SKINDATA.SK2: a 24-byte header and a chain of 77-byte records; the last ends the chain."""
    data = bytearray(b"SKIN2DATA\0\0\0" + struct.pack("<III", 24, 0, 24))
    blobs = []
    first = len(data)
    count = len(records) + 1
    data += b"\0" * (77 * count)
    for i, (name, kind, value) in enumerate(records + [("END", 9, b"")]):
        offset = len(data) + sum(len(b) for b in blobs)
        blobs.append(value)
        nxt = first + 77 * (i + 1) if i + 1 < count else 0
        record = name.encode("ascii").ljust(64, b"\0") + struct.pack("<BIII", kind, offset, len(value), nxt)
        data[first + 77 * i:first + 77 * (i + 1)] = record
    return bytes(data) + b"".join(blobs)


def good_skin_data():
    fuchsia, white, blue = 0xFF00FF, 0xFFFFFF, 0x2050A0
    button = bmp(6, 2, 24, [[fuchsia, white, blue, blue, white, fuchsia], [0, 1, 2, 3, 4, 5]])
    check = bmp(4, 3, 8, [[0, 1, 2, 1], [1, 1, 1, 1], [2, 2, 0, 0]], palette=(0x000000, 0xFF0000, 0x00FF00))
    return sk2([
        ("SKIN2_TRANSCOLOR", 1, struct.pack("<i", fuchsia)),
        ("SKIN2_FORMCOLOR", 1, struct.pack("<i", 0x00C0C0C0)),
        ("SKIN2_FORMCOLOR", 1, struct.pack("<i", 0x00111111)),
        ("SKIN2_TITLEBARICONPOSX", 1, struct.pack("<i", 7)),
        ("SKIN2_TITLEBARBUTTONPOSY", 1, struct.pack("<i", -1)),
        ("SKIN2_BUTTONTRANS", 2, b"\x02"),
        ("SKIN2_TITLEBTNTRANS", 2, b"\x00"),
        ("SKIN2_BUTTON", 0, button),
        ("SKIN2_CHECKBOX", 0, check),
        ("SKIN2_ABOUT", 3, b"Made for the tests"),
    ])


def payloads():
    rng = random.Random(1)
    words = [b"cleaner", b"registry", b"skin", b"window", b"button", b"theme", b"file", b"key"]
    text = b" ".join(rng.choice(words) + str(rng.randrange(1000)).encode() for _ in range(20000))
    return {
        "text": text,                                           # dynamic blocks, many window flushes
        "random": bytes(rng.randrange(256) for _ in range(40000)),  # stored blocks longer than 16 KB
        "run": b"\0" * 100000,                                  # distance 1, length 258 matches
        "small": b"hello, skin",
    }


def stream_of_length(total):
    """A stored-block stream of exactly `total` bytes (a full input buffer when 16384)."""
    for n in range(total - 20, total):
        s = deflate(bytes(range(256)) * (n // 256) + bytes(n % 256), level=0)
        if len(s) == total:
            return s, bytes(range(256)) * (n // 256) + bytes(n % 256)
    raise SystemExit("no stream of length %d" % total)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def wrong_password_with_matching_check(password, entry_data):
    crc = zlib.crc32(entry_data)
    rng = random.Random(7)
    header = bytes(rng.randrange(256) for _ in range(11)) + bytes([crc >> 24])
    cipher = Keys(password).encrypt(header)
    for i in range(100000):
        candidate = b"wrong%d" % i
        k = Keys(candidate)
        plain = bytearray()
        for b in cipher:
            p = b ^ k.stream()
            k.update(p)
            plain.append(p)
        if plain[-1] == crc >> 24:
            return candidate
    raise SystemExit("no matching wrong password")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in payloads().items():
        write(name + ".bin", data)
        write(name + ".stored.deflate", deflate(data, level=0))
        write(name + ".fixed.deflate", deflate(data, strategy=zlib.Z_FIXED))
        write(name + ".dynamic.deflate", deflate(data))
    stream, data = stream_of_length(16384)
    write("edge16k.bin", data)
    write("edge16k.stored.deflate", stream)
    odd = deflate(b"odd tail " * 3, strategy=zlib.Z_FIXED)
    assert len(odd) % 4 != 0
    write("oddtail.bin", b"odd tail " * 3)
    write("oddtail.fixed.deflate", odd)

    skin = good_skin_data()
    write("SKINDATA.SK2", skin)
    other = payloads()["text"][:5000]
    write("plain.skn", make_zip([Entry("readme.txt", b"not the data", method=0),
                                 Entry("SKINDATA.SK2", skin), Entry("other.bin", other, strategy=zlib.Z_FIXED)]))
    # Extra fields as zip tools write them: the local header's "UT" field
    # (9 bytes) the same as the directory's, and a local one longer than the
    # directory's (access time there too).
    ut = time_field(1700000000)
    write("extra.skn", make_zip([Entry("readme.txt", b"not the data", method=0, local_extra=ut, central_extra=ut),
                                 Entry("SKINDATA.SK2", skin, local_extra=ut, central_extra=ut)]))
    write("extradiffers.skn", make_zip([
        Entry("readme.txt", b"not the data", method=0, local_extra=time_field(1700000000, 1700000001)),
        Entry("SKINDATA.SK2", skin, local_extra=time_field(1700000000, 1700000001) + owner_field(),
              central_extra=ut)]))
    write("stored.skn", make_zip([Entry("SKINDATA.SK2", skin, method=0)]))
    write("lower.skn", make_zip([Entry("skindata.sk2", skin)]))
    write("encrypted.skn", make_zip([Entry("SKINDATA.SK2", skin, password=b"secret")]))
    write("descriptor.skn", make_zip([Entry("SKINDATA.SK2", skin, password=b"secret", descriptor=True)]))
    write("plaindescriptor.skn", make_zip([Entry("SKINDATA.SK2", skin, descriptor=True)]))
    write("pk.skn", make_zip([Entry("SKINDATA.SK2", skin)], mark=b"PK"))
    write("comment.skn", make_zip([Entry("SKINDATA.SK2", skin)], comment=b"hi"))
    write("bomb.skn", make_zip([Entry("SKINDATA.SK2", b"\0" * (50 << 20), announced=1000)]))
    write("hugesize.skn", make_zip([Entry("SKINDATA.SK2", skin, announced=0x7FFFFFFF)]))
    write("wrong_password_matching_check.txt",
          wrong_password_with_matching_check(b"secret", skin))


if __name__ == "__main__":
    main()
