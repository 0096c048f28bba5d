#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/: the data tool's
real files (from a build's run folder) where they are small, and crafted edge cases. Files that the
fuzzer later finds faulty are added by hand as regression-<what>; this script leaves them alone.

usage: make_seeds.py <run folder>
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
REGRESSION = os.path.join(HERE, "regression")  # inputs CTest runs but the fuzzer is not seeded with


def put(target, name, data, where=CORPUS):
    folder = os.path.join(where, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bundle(files):
    """Packs (name, content) pairs the way tests/fuzz/file_bundle.h unpacks them."""
    out = b""
    for name, content in files:
        name = name.encode() if isinstance(name, str) else name
        out += bytes([len(name)]) + name + struct.pack("<H", len(content)) + content
    return out


def tga(kind, depth, width, height, descriptor, body, map_type=0, map_first=0, map_length=0, map_bits=0, ident=b""):
    header = struct.pack("<BBBHHBHHHHBB", len(ident), map_type, kind, map_first, map_length, map_bits, 0, 0,
                         width, height, depth, descriptor)
    return header + ident + body


def bmp(width, height, bits, pixels, palette=b"", core=False, file_header=True, compression=0):
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 0, 0, 0, 0)
    body = info + palette + pixels
    if not file_header:
        return body
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + len(info) + len(palette)) + body


def f32(*values):
    return struct.pack("<%df" % len(values), *values)


def recording(base=b"", ops=b""):
    return struct.pack("<i", len(base)) + base + ops


def op(code, payload=b""):
    return struct.pack("<i", code) + payload


def seeds_tga():
    row2 = bytes(range(1, 7))
    put("tga", "true24-bottom-up", tga(2, 24, 2, 2, 0, row2 + bytes(range(7, 13))))
    put("tga", "true32-top-down-rtl", tga(2, 32, 2, 2, 0x30, bytes(range(16)) + b"\0" * 28))
    put("tga", "rle24-across-rows", tga(10, 24, 8, 2, 0, b"\x85" + b"abc" + b"\x83" + b"def" + b"\x07" + b"x" * 24 + b"\0" * 28))
    put("tga", "rle32-raw", tga(10, 32, 2, 2, 0, b"\x03" + bytes(range(16)) + b"\0" * 28))
    put("tga", "grey8", tga(3, 8, 4, 2, 0, bytes(range(8)) + b"\0" * 28, ident=b"id"))
    put("tga", "grey8-rle", tga(11, 8, 4, 4, 0x20, b"\x8f\x80" + b"\0" * 28))
    put("tga", "colour-mapped", tga(1, 8, 2, 2, 0, bytes(range(9)) + b"\0\1\2\1" + b"\0" * 28, 1, 1, 3, 24))
    put("tga", "colour-mapped-rle", tga(9, 8, 4, 1, 0, bytes(range(6)) + b"\x83\1" + b"\0" * 28, 1, 0, 2, 24))
    put("tga", "rejected-16bit", tga(2, 16, 2, 2, 0, b"\0" * 36))
    put("tga", "rejected-short", tga(2, 24, 1, 1, 0, b"abc"))
    put("tga", "huge-dimensions", tga(2, 32, 65535, 65535, 0, b"\0" * 40))


def seeds_bmp(run):
    put("bmp", "rgb24-width3", bmp(3, 2, 24, bytes(range(9)) + b"\0\0\0" + bytes(range(9, 18)) + b"\0\0\0"))
    put("bmp", "pal8", bmp(2, 2, 8, b"\0\1\0\0\2\3\0\0", palette=b"\1\2\3\0\4\5\6\0\7\10\11\0\12\13\14\0"))
    put("bmp", "pal4-core", bmp(4, 1, 4, b"\x01\x23\0\0", palette=bytes(range(48)), core=True))
    put("bmp", "pal1-bare", bmp(9, 2, 1, b"\xaa\x80\0\0\x55\x00\0\0", palette=b"\0\0\0\0\xff\xff\xff\0", file_header=False))
    put("bmp", "top-down", bmp(1, -2, 24, b"abc\0def\0"))
    put("bmp", "rle8", bmp(4, 2, 8, b"\x04\x01\x00\x00\x02\x02\x00\x02\x00\x01", palette=bytes(range(16)), compression=1))
    put("bmp", "rle4", bmp(4, 1, 4, b"\x04\x12\x00\x01", palette=bytes(range(64)), compression=2))
    put("bmp", "rgb16", bmp(2, 1, 16, b"\x1f\x00\xe0\x03"))
    put("bmp", "rgb32", bmp(1, 1, 32, b"abcd"))
    put("bmp", "header-108", struct.pack("<I", 108) + b"\0" * 120)
    put("bmp", "huge-dimensions", bmp(0x7fffffff, 0x7fffffff, 24, b"\0" * 16))
    put("bmp", "pixels-over-cap", bmp(4097, -4096, 24, b"\0" * 16))
    # Too slow a unit to seed the fuzzer with (0.7 s): a regression input.
    put("bmp", "rle8-largest-picture", bmp(4096, 4096, 8, b"\0\1", palette=b"\0" * 1024, compression=1), REGRESSION)
    blast = os.path.join(run, "blast2.bmp")
    if os.path.exists(blast) and os.path.getsize(blast) <= 65536:
        put("bmp", "blast2.bmp", open(blast, "rb").read())


def seeds_sculpt(run):
    ops = (op(0, f32(0, 1.5, 0, 1)) + op(1, f32(0, 0, 0, 1.2, 0, 0, 0.5, 1.2)) + op(2, f32(0, 1, 0, 0.5, 1, 0, 0, 1)) +
           op(3, f32(1, 0, 0, 0.3, 0, 1, 0, 1, 1, 0, 0, 0.3, 0, 0, 1, 1)) + op(4, struct.pack("<i", 2) + f32(1, 2, 3, 0, 4, 5, 6, 1)) +
           op(5, f32(0.1, 0.2, 0.3)) + op(9))
    put("sculpt", "every-operation", bundle([("r", recording(ops=ops))]))
    put("sculpt", "with-base", bundle([("r", recording(b"b", op(0, f32(0, 1, 0, 0.5)))), ("b", recording(ops=op(4, struct.pack("<i", 1) + f32(1, 1, 1, 1))))]))
    put("sculpt", "base-loop", bundle([("a", recording(b"b")), ("b", recording(b"./a", op(0, f32(0, 0, 0, 2))))]))
    put("sculpt", "self-base", bundle([("s", recording(b"s"))]))
    put("sculpt", "cut-short", bundle([("r", recording(ops=op(3, f32(1, 0, 0))))]))
    put("sculpt", "huge-attachment-count", bundle([("r", recording(ops=op(4, struct.pack("<i", 0x7fffffff)) + f32(1, 2, 3, 4)))]))
    put("sculpt", "tiny-stroke", bundle([("r", recording(ops=op(1, f32(0, 0, 0, 1, 1e-7, 0, 0, 1))))]))
    stroke = op(1, f32(5, 5, 5, 0.1, 5, 5, 5.0001, 0.1))
    put("sculpt", "brush-budget", bundle([("r", recording(b"b", stroke * 9 + op(0, f32(0, 1.5, 0, 1)))),
                                          ("b", recording(ops=stroke * 8))]))
    for name in ("_mountain4", "_mountain5"):
        path = os.path.join(run, "mountain", name)
        if os.path.exists(path):
            put("sculpt", "mountain" + name, bundle([("mountain/" + name, open(path, "rb").read())]))


def ship_files(run):
    files = []
    ship = os.path.join(run, "ship")
    for part in sorted(os.listdir(ship)):
        for name in sorted(os.listdir(os.path.join(ship, part))):
            files.append(("ship/%s/%s" % (part, name), open(os.path.join(ship, part, name), "rb").read()))
    return files


def node(name, scale, extra=0):
    name = name.encode()
    return struct.pack("<i", len(name)) + name + f32(scale) + struct.pack("<I", extra)


def seeds_model(run):
    model = os.path.join(run, "vorizozadi1")
    if os.path.exists(model):
        put("model", "ship", bundle([("vorizozadi1", open(model, "rb").read())] + ship_files(run)))
    two = recording(ops=op(4, struct.pack("<i", 2) + f32(0, 1, 0, 0, 0, -1, 0, 0)))
    parts = [("p/files.txt", b"two"), ("p/two", two), ("q/files.txt", b"none\r\n"), ("q/none", recording())]
    put("model", "two-children", bundle([("m", b"C3DOBJECT" + node("p", 1) + node("q", 0.5) + node("", 1))] + parts))
    put("model", "magic-only", bundle([("m", b"C3DOBJECT")]))
    put("model", "wrong-magic", bundle([("m", b"C3DOBJECS" + node("q", 1))] + parts))
    put("model", "no-files-txt", bundle([("m", b"C3DOBJECT" + node("missing", 1))]))
    deep = b"C3DOBJECT" + b"".join(node("p", 1) for _ in range(40))
    put("model", "deep", bundle([("m", deep), ("p/files.txt", b"one"), ("p/one", recording(ops=op(4, struct.pack("<i", 1) + f32(0, 1, 0, 0))))]))
    put("model", "long-line", bundle([("m", b"C3DOBJECT" + node("p", 1)), ("p/files.txt", b"x" * 90)]))
    put("model", "huge-name-length", bundle([("m", b"C3DOBJECT" + struct.pack("<i", 0x7fffffff) + b"p")]))
    eleven = recording(ops=op(4, struct.pack("<i", 11) + f32(0, 1, 0, 0) * 11))
    put("model", "mesh-budget", bundle([("m", b"C3DOBJECT" + node("hub", 1000) + node("leaf", 1000) * 11),
                                        ("hub/files.txt", b"v"), ("hub/v", eleven),
                                        ("leaf/files.txt", b"v"), ("leaf/v", recording())]))


def seeds_config():
    for name, text in [("three", b"20 50 1"), ("octal-hex", b"024\n0x32\t0"), ("word", b"20 50 off"),
                       ("signs", b"-5 +999999999999 -0x10"), ("one", b"30"), ("empty", b""),
                       ("word-first", b"abc 1 2"), ("overflow", b"99999999999999999999 0x7fffffffffffffffff 1")]:
        put("config", name, text)


def seeds_highscore(run):
    put("highscore", "empty-table", b"\xff" * 240)
    table = b""
    for i in range(10):
        name = ("player%d" % i).encode().ljust(20, b"\0")
        table += name + struct.pack("<I", 100 - i)
    put("highscore", "ten-players", bytes(b ^ 0xFF for b in table))
    put("highscore", "no-terminator", bytes(b ^ 0xFF for b in (b"A" * 20 + struct.pack("<I", 7)) * 10))
    put("highscore", "short-239", b"\xff" * 239)
    put("highscore", "long-300", b"\x00" * 300)


def seeds_sky_face():
    put("sky_face", "short", bytes(range(256)) * 4)
    put("sky_face", "tail-one-short", b"\x10" * 2047)  # the target also reads inputs as a face's tail
    put("sky_face", "tail-whole", b"\x10" * 2048)
    put("sky_face", "empty", b"")


def replay_header(variants=(b"ship/hull/arrow", b"ship/fin/raked"), config=(20, 50, 1), version=b"1.0"):
    out = b"VELMOREP" + struct.pack("<H", 1) + bytes([len(version)]) + version + struct.pack("<iiiH", *config, len(variants))
    for v in variants:
        out += struct.pack("<H", len(v)) + v
    return out


def seeds_replay():
    size = struct.pack("<BIii", 4, 0, 400, 400)
    keys = struct.pack("<BIi", 1, 0, 100) + struct.pack("<BIB", 2, 3, 0xC0) + struct.pack("<BIi", 1, 9, 2)
    mouse = struct.pack("<BIBBff", 3, 5, 0, 0, 0.0, -0.7) + struct.pack("<BIBBff", 3, 6, 0, 1, 3.0, 9.0)
    end = struct.pack("<BIBi", 5, 47, 1, 0) + struct.pack("<BIBi", 5, 90, 0, 3)
    put("replay", "header-only", replay_header())
    put("replay", "no-variants", replay_header(variants=()))
    put("replay", "session", replay_header() + size + keys + mouse + end)
    put("replay", "truncated-record", replay_header() + size + keys[:-2])
    put("replay", "backwards", replay_header() + struct.pack("<BIi", 1, 9, 2) + struct.pack("<BIi", 1, 8, 2))
    put("replay", "press-outside", replay_header() + size + struct.pack("<BIBBff", 3, 1, 0, 0, 1.5, 0.0))
    put("replay", "wrong-magic", b"VELMOREQ" + replay_header()[8:])
    put("replay", "bad-config", replay_header(config=(5, 50, 1)))
    with open(os.path.join(HERE, "..", "..", "tools", "bench", "flight.vrp"), "rb") as f:
        put("replay", "bench-flight", f.read())


def main():
    run = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "build", "run")
    seeds_tga()
    seeds_bmp(run)
    seeds_sculpt(run)
    seeds_model(run)
    seeds_config()
    seeds_highscore(run)
    seeds_sky_face()
    seeds_replay()


if __name__ == "__main__":
    main()
