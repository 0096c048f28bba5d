"""Damaged data files against the real game: the rows of the table in docs/robustness.md that only
the whole game can show, one for each way a file is opened and each message the game prints for
it (the readers' own tests take every cut and field of a file in-process). A row damages one file
of a fresh copy of the working directory and states what the game must do: stop at start-up with
its message on standard error and status 1, or go on (the window shows and a close ends it with
status 0) with the listed lines on its console and nothing else."""
import os
import struct
import sys
import unittest

import harness
from test_floor_sky import FACE_BYTES

NO_VARIANT = "Не найдено ни одного файла"


class Stops:
    """Start-up ends before any frame with status 1 and on standard error exactly the game's text,
    then, when `names` is given, one line "velmo: FILE: REASON" whose file begins with `names`
    (and whose reason is `reason` when given)."""

    def __init__(self, stderr, names=None, reason=None):
        self.stderr = stderr
        self.names = names
        self.reason = reason


class GoesOn:
    """The game runs; standard error holds exactly these lines (in any order)."""

    def __init__(self, *stderr_lines, stdout=()):
        self.stderr_lines = stderr_lines
        self.stdout = stdout


# Damage done to one file of the working directory.
def remove(name):
    def apply(root):
        os.remove(os.path.join(root, name))
    return apply


def write(name, data):
    def make(path):
        with open(path, "wb") as f:
            f.write(data)
    return replace_file(name, make)


def change(name, how):
    """Rewrites a file from its own bytes."""
    def apply(root):
        path = os.path.join(root, name)
        with open(path, "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(how(data))
    return apply


def write_all(files):
    """Writes several files at once (a whole part directory)."""
    def apply(root):
        for name, data in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            write(name, data)(root)
    return apply


def replace_file(name, make):
    """Puts what make(path) creates in place of the file."""
    def apply(root):
        path = os.path.join(root, name)
        if os.path.exists(path):
            os.remove(path)
        make(path)
    return apply


def make_directory(name):
    return replace_file(name, os.makedirs)


def make_pipe(name):
    """A named pipe no one writes to: opening it for reading would wait for ever."""
    return replace_file(name, os.mkfifo)


def recording_boundaries(data):
    """Offsets in a sculpt recording where a record ends (base length, base, every operation)."""
    sizes = {0: 20, 1: 36, 2: 36, 3: 68, 5: 16}
    base = max(struct.unpack_from("<i", data, 0)[0], 0)
    at, ends = 4 + base, [4, 4 + base]
    while at < len(data):
        op = struct.unpack_from("<i", data, at)[0]
        at += 8 + 16 * struct.unpack_from("<i", data, at + 4)[0] if op == 4 else sizes.get(op, 4)
        ends.append(at)
    return sorted(set(e for e in ends if e < len(data)))


def bmp_header(width, height, bits=24, compression=0, magic=b"BM"):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0, 0, 0, 0, 0)
    return magic + struct.pack("<IHHI", 14 + len(info), 0, 0, 14 + len(info)) + info


def recording(base=b"", ops=b""):
    return struct.pack("<i", len(base)) + base + ops


def tiny_stroke():
    """A push stroke whose ends nearly meet: it pushes the most balls a stroke may."""
    return struct.pack("<i8f", 1, 5, 5, 5, 0.1, 5, 5, 5.0001, 0.1)


def pushes_out_of_the_grid(count):
    """Pushes that move every vertex a unit along x and back, out of the brushes' grid each time:
    per visit the costliest work a recording can ask for."""
    return (struct.pack("<i4f", 0, 1000, 0, 0, 1001.5) + struct.pack("<i4f", 0, -1001.5, 0, 0, 1001)) * count


def node(name, scale=1.0):
    name = name.encode()
    return struct.pack("<i", len(name)) + name + struct.pack("<fI", scale, 0)


def attachments(count):
    return struct.pack("<ii", 4, count) + struct.pack("<4f", 0, 1, 0, 0) * count


def run_file(name):
    with open(os.path.join(harness.DATA_DIR, name), "rb") as f:
        return f.read()


def bmp_rows(name, every=True):
    """Rows for one BMP image: one for each message the game prints for it. The three images go
    through the same reader, so the whole list runs for one and two rows for the others."""
    missing = ("Failed to open DIB file %s.\n" % name).rstrip("\n")
    loading = "Error loading %s.\n" % name
    def fails(text):
        return GoesOn(text, stdout=(loading,))
    table = [
        (name, "missing", remove(name), GoesOn(missing, stdout=(loading,))),
        (name, "wrong magic", change(name, lambda d: b"XY" + d[2:]), fails("Unknown DIB file format.")),
        (name, "cut in the pixels", change(name, lambda d: d[:len(d) // 2]), fails("Image file conversion error.")),
        (name, "more pixels than the cap", write(name, bmp_header(4097, 4096)), fails("Out of memory.")),
        # The largest picture there may be, from a few bytes: it loads, black.
        (name, "4096 x 4096 run-length picture of 1 KB", write(name, bmp_header(4096, 4096, 8, 1) + bytes(1024) + b"\0\1"),
         GoesOn()),
    ]
    return table if every else table[:1] + table[2:3]


def rows():
    model = run_file("vorizozadi1")
    mountain = run_file("mountain/_mountain4")
    table = []
    # config.txt: the defaults, or the numbers it holds brought into range.
    table += [
        ("config.txt", "missing", lambda root: None, GoesOn()),
        ("config.txt", "a word first", write("config.txt", b"abc 1 2"),
         GoesOn("config.txt: landscape detail 0 is outside 10..360, using 10")),
        ("config.txt", "huge numbers", write("config.txt", b"-99999999999999 -0x7fffffffffff 1"),
         GoesOn("config.txt: landscape detail -2147483648 is outside 10..360, using 10",
                "config.txt: ship detail -2147483648 is outside 2..360, using 2")),
        ("config.txt", "a named pipe", make_pipe("config.txt"), GoesOn()),
        ("config.txt", "oversized binary", write("config.txt", bytes(range(256)) * 4096),
         GoesOn("config.txt: landscape detail 0 is outside 10..360, using 10")),
    ]
    # h.bin: a short table is an empty one; a file that is there but cannot be read is left alone.
    good = harness.highscore_table(*[(b"Ace", 9 - i) for i in range(10)])
    table += [("h.bin", "missing", lambda root: None, GoesOn())]
    table += [("h.bin", "cut at 120 bytes", write("h.bin", good[:120]), GoesOn())]
    table += [
        ("h.bin", "oversized", write("h.bin", good + bytes(100000)), GoesOn()),
        ("h.bin", "names without their zero", write("h.bin", bytes(240)), GoesOn()),
        ("h.bin", "a directory", make_directory("h.bin"),
         GoesOn('"h.bin" cannot be read (not a regular file): this game\'s results will not be saved')),
    ]
    # vorizozadi1, the ship's model file: any damage ends the start-up.
    stop = Stops("A error detected", "vorizozadi1: ")
    table += [
        ("vorizozadi1", "missing", remove("vorizozadi1"),
         Stops("A error detected", "vorizozadi1: ", "No such file or directory")),
        ("vorizozadi1", "wrong magic", write("vorizozadi1", b"C3DOBJECS" + model[9:]), stop),
        ("vorizozadi1", "oversized (5 MB)", write("vorizozadi1", model + bytes(5 << 20)), stop),
        ("vorizozadi1", "a part that holds itself (loop)",
         write_all({"vorizozadi1": b"C3DOBJECT" + node("loop") * 20, "loop/files.txt": b"v",
                    "loop/v": recording(ops=attachments(1))}), stop),
        ("vorizozadi1", "more mesh than the bound",
         write_all({"vorizozadi1": b"C3DOBJECT" + node("hub", 1000) + node("leaf", 1000) * 11,
                    "hub/files.txt": b"v", "hub/v": recording(ops=attachments(11)),
                    "leaf/files.txt": b"v", "leaf/v": recording()}), stop),
    ]
    table += [("vorizozadi1", "cut in its records", write("vorizozadi1", model[:len(model) // 2]), stop)]
    table += [
        ("vorizozadi1", "trailing bytes (1 MB)", write("vorizozadi1", model + bytes(1 << 20)), GoesOn()),
    ]
    # files.txt of a part directory.
    hull = "ship/hull/files.txt"
    table += [
        (hull, "missing", remove(hull), Stops(NO_VARIANT, hull + ": ")),
        (hull, "empty", write(hull, b""), GoesOn()),
        (hull, "a line over 80 characters", write(hull, b"x" * 81),
         Stops("A error detected", hull + ": ", "a line is longer than 80 characters")),
        (hull, "oversized (2 MB)", write(hull, b"arrow\n" * ((2 << 20) // 6)), Stops("Error accessing file.", hull + ": ")),
        (hull, "a directory", make_directory(hull), Stops("Error accessing file.", hull + ": ")),
        (hull, "a named pipe", make_pipe(hull), Stops("Error accessing file.", hull + ": ")),
        (hull, "names a missing recording", write(hull, b"nothing-here"), GoesOn()),
    ]
    # Sculpt recordings: a mountain, and the variants of a part (whose attachment points shape the ship).
    m4 = "mountain/_mountain4"
    loop = "Sculpt recording %s: base recording %s leads back to a recording being replayed; it is not replayed"
    table += [
        (m4, "missing", remove(m4), GoesOn()),
        (m4, "empty", write(m4, b""), GoesOn()),
        (m4, "oversized (2 MB)", write(m4, mountain + bytes(2 << 20)), GoesOn()),
        (m4, "huge base length", write(m4, struct.pack("<i", 0x7FFFFFFF) + mountain[4:]), GoesOn()),
        (m4, "its own base (loop)", write(m4, recording(m4.encode(), mountain[4:])), GoesOn(loop % (m4, m4))),
        (m4, "a missing base", write(m4, recording(b"mountain/none", mountain[4:])), GoesOn()),
        (m4, "more brush balls than the bound", write(m4, recording(ops=tiny_stroke() * 17)),
         GoesOn("Sculpt recording %s: too much brush work; the remaining brush operations are skipped" % m4)),
        (m4, "a named pipe", make_pipe(m4), GoesOn()),
        # At the highest detail every one of these pushes moves all 165 199 vertices and the grid
        # is built anew for each: the vertex visits run out after some 150 of them, two or three
        # seconds of work. The other mountain is left blank.
        (m4, "the most brush work the bounds allow, at detail 360",
         write_all({"config.txt": b"360 2", m4: recording(ops=pushes_out_of_the_grid(1000)), "mountain/_mountain5": b""}),
         GoesOn("Sculpt recording %s: too much brush work; the remaining brush operations are skipped" % m4)),
        (m4, "huge attachment count", write(m4, recording(ops=struct.pack("<ii", 4, 0x7FFFFFFF) + bytes(64))), GoesOn()),
    ]
    ends = recording_boundaries(mountain)
    table += [(m4, "cut at %d bytes" % ends[len(ends) // 2],
               change(m4, lambda d: d[:ends[len(ends) // 2]]), GoesOn())]
    table += [("ship/hull/*", "more attachment points than a part takes",
               write_all({"ship/hull/arrow": recording(ops=attachments(65)),
                          "ship/hull/wedge": recording(ops=attachments(65))}),
               Stops("A error detected", "ship/hull/", "declares 65 attachment points; a part takes at most 64"))]
    # The sky faces: each must hold a whole face.
    table += [
        ("sky/f.raw", "missing", remove("sky/f.raw"),
         Stops("Error loading front texture\n", "sky/f.raw: ", "No such file or directory")),
        ("sky/b.raw", "missing", remove("sky/b.raw"),
         Stops("Error loading back texture\n", "sky/b.raw: ", "No such file or directory")),
        ("sky/b.raw", "empty", write("sky/b.raw", b""),
         Stops("Error loading back texture\n", "sky/b.raw: ", "holds 0 bytes; a face is 786432")),
        ("sky/l.raw", "one byte short", change("sky/l.raw", lambda d: d[:FACE_BYTES - 1]),
         Stops("Error loading left texture=n", "sky/l.raw: ", "holds 786431 bytes; a face is 786432")),
        ("sky/r.raw", "a directory", make_directory("sky/r.raw"),
         Stops("Error loading right texture", "sky/r.raw: ", "not a regular file")),
        ("sky/o.raw", "a named pipe", make_pipe("sky/o.raw"),
         Stops("Error loading top texture", "sky/o.raw: ", "not a regular file")),
        ("sky/o.raw", "oversized", change("sky/o.raw", lambda d: d + bytes(100000)), GoesOn()),
        ("sky/earth.raw", "missing", remove("sky/earth.raw"),
         Stops("Error loading bottom texture\n", "sky/earth.raw: ", "No such file or directory")),
    ]
    # The BMP images: a texture that cannot be loaded stays blank and the game goes on.
    table += bmp_rows("normal2.bmp") + bmp_rows("block.bmp", False) + bmp_rows("blast2.bmp", False)
    return table


class BadData(unittest.TestCase):
    def run_row(self, damage, outcome):
        game = harness.Game(args=["-geometry", "400x400+0+0"])
        try:
            damage(game.workdir)
            game.start(wait_window=False)
            if isinstance(outcome, Stops):
                status = game.wait(120)
                self.assertEqual(status, 1, game.stderr())
                said = game.stderr()
                if outcome.names is None:
                    self.assertEqual(said, outcome.stderr)
                    return
                text, line = outcome.stderr, said[len(outcome.stderr):]
                self.assertEqual(said[:len(text)], text)
                if not text.endswith("\n"):
                    self.assertEqual(line[:1], "\n", said)
                    line = line[1:]
                self.assertTrue(line.startswith("velmo: " + outcome.names) and line.endswith("\n"), said)
                self.assertEqual(line.count("\n"), 1, said)
                if outcome.reason is not None:
                    self.assertEqual(line.split(": ", 2)[2], outcome.reason + "\n", said)
                return
            game.window = game.wait_window(120)
            # The window shows before the data loads: the close is answered once the last
            # mountain is in and the game runs.
            game.wait_loaded(120)
            self.assertEqual(game.close(timeout=90), 0, game.stderr())
            lines = [line for line in game.stderr().split("\n") if line]
            self.assertEqual(len(lines), len(outcome.stderr_lines), game.stderr())
            for expected, line in zip(sorted(outcome.stderr_lines), sorted(lines)):
                self.assertTrue(line.startswith(expected), (expected, line))
            for text in outcome.stdout:
                self.assertIn(text, game.stdout())
            if os.path.isfile(os.path.join(game.workdir, "h.bin")):
                self.assertEqual(len(game.file("h.bin")), 240)
        finally:
            game.stop()

    def test_every_row(self):
        only = os.environ.get("VELMO_BAD_DATA_ONLY")  # a file name, to run its rows alone
        for name, what, damage, outcome in rows():
            if only and only != name:
                continue
            with self.subTest(file=name, damage=what):
                self.run_row(damage, outcome)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
