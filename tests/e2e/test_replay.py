"""Replays with the real game: a session recorded under Xvfb (turns, stars, a crash, a time-out,
names, F2, a click) plays back in a fresh copy of the data folder at full speed with the same game
ends, the same console lines and the same "h.bin", byte for byte; at another window size too; and
a changed mountain is noticed. Damaged replay files are refused before the window opens."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import harness
from pilot import Pilot, interface_to_pixel

GAME_OVER = re.compile(r"^Game over at display \d+: .*$", re.M)


def game_overs(text):
    """The game-end lines of a recording, or of a replay until it hands the game to the player
    (the game then runs on, and may end again before the window closes)."""
    return GAME_OVER.findall(text.split("Replay finished", 1)[0])


CHECK_REPLAY = os.environ.get("VELMO_CHECK_REPLAY", os.path.join(os.path.dirname(harness.BINARY), "velmo-check-replay"))


def checked_game_overs(replay):
    """The game ends velmo-check-replay prints for a recording: played through the game's step in
    the data folder, with no display to open a window on."""
    with tempfile.NamedTemporaryFile(suffix=".vrp") as f:
        f.write(replay)
        f.flush()
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        done = subprocess.run([CHECK_REPLAY, f.name], cwd=harness.DATA_DIR, env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError("velmo-check-replay ended with %d: %s" % (done.returncode, done.stderr))
    return game_overs(done.stdout)


def replayed(case, replay, *extra, size="300x300", remove=()):
    """The real game once it has replayed a recording at full speed (still running), stopped
    after `case`; `remove` names data files taken away first."""
    game = harness.Game(files={"play.vrp": replay},
                        args=["-geometry", size + "+0+0", "--replay", "play.vrp", "--replay-speed", "0"] + list(extra))
    case.addCleanup(game.stop)
    for name in remove:
        os.remove(os.path.join(game.workdir, name))
    game.start(wait_window=False)
    game.wait_output("Replay finished", timeout=240)
    return game


def replayed_game_overs(case, replay):
    """The game ends the real game prints for a recording it replays at full speed."""
    return game_overs(replayed(case, replay).stdout())


class Replay(unittest.TestCase):
    recording = None  # the bytes of the session recorded once for every test
    recorded_lines = None
    recorded_highscores = None

    @classmethod
    def setUpClass(cls):
        folder = tempfile.mkdtemp(prefix="velmo-replay-")
        cls.folder = folder
        path = os.path.join(folder, "session.vrp")
        game = harness.Game(args=["-geometry", "400x400+0+0", "--record", path])
        try:
            pilot = Pilot(game.start())
            pilot.wait_for_menu()
            width, height = game.geometry()

            def play(aim, name, steps=800):
                pilot.fly(steps, aim)
                harness.wait_until(lambda: pilot.look()[1], "the game did not end")
                game.type(name)
                game.key("Return")
                time.sleep(0.3)
                game.click(*interface_to_pixel(0.0, -0.7, width, height))  # the list's OK: the menu
                time.sleep(0.3)
                game.key("F2")
                pilot.wait_for_menu()

            play(Pilot.IDLE, "Idle")
            play(Pilot.ROCK, "Rock")
            play(Pilot.STARS, "Star")
            status = game.close()
            cls.recorded_status = status
            cls.recorded_lines = game_overs(game.stdout())
            cls.recorded_highscores = game.file("h.bin")
            with open(path, "rb") as f:
                cls.recording = f.read()
        finally:
            game.stop()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def replay(self, *extra, files=None, size="400x400"):
        """Plays the recording at full speed in a fresh copy of the data folder; returns the game
        once it has finished (or ended by itself) and been closed."""
        game = harness.Game(files=dict(files or {}, **{"session.vrp": self.recording}),
                            args=["-geometry", size + "+0+0", "--replay", "session.vrp", "--replay-speed", "0"] +
                            list(extra))
        self.addCleanup(game.stop)
        game.start(wait_window=False)
        harness.wait_until(lambda: "Replay finished" in game.stdout() or game.process.poll() is not None,
                           lambda: "the replay did not finish: " + game.stdout(), 240, 0.2)
        if game.process.poll() is None:
            game.window = game.wait_window(30)
            game.status = game.close()
        else:
            game.status = game.process.returncode
        return game

    def test_the_recording_holds_every_kind_of_game_end(self):
        self.assertEqual(self.recorded_status, 0)
        lines = self.recorded_lines
        self.assertTrue(any("crash" in line for line in lines), lines)
        self.assertTrue(any("time-out" in line for line in lines), lines)
        self.assertTrue(any(not line.endswith(" 0 stars") for line in lines), lines)
        self.assertEqual(self.recording[:8], b"VELMOREP")

    def test_a_replay_repeats_every_game_and_the_highscores_byte_for_byte(self):
        game = self.replay("--replay-writes-highscores")
        self.assertEqual(game.status, 0, game.stderr())
        self.assertEqual(game_overs(game.stdout()), self.recorded_lines)
        self.assertIn("config.txt is not read", game.stdout())
        self.assertEqual(game.file("h.bin"), self.recorded_highscores)

    def test_the_checker_without_a_window_prints_the_game_ends_of_the_game(self):
        self.assertEqual(checked_game_overs(self.recording), self.recorded_lines)
        with open(harness.BENCH_REPLAY, "rb") as f:
            bench = f.read()
        self.assertEqual(checked_game_overs(bench), replayed_game_overs(self, bench))

    def test_another_window_size_gives_the_same_games_and_leaves_the_highscores_alone(self):
        game = self.replay(size="640x300")
        self.assertEqual(game.status, 0, game.stderr())
        self.assertEqual(game_overs(game.stdout()), self.recorded_lines)
        self.assertFalse(os.path.exists(os.path.join(game.workdir, "h.bin")),
                         "a replay without --replay-writes-highscores wrote h.bin")

    def test_a_different_mountain_is_noticed(self):
        # An empty recording makes the first mountain a plain sphere, and its collision square,
        # which every mountain shares, shrinks to a unit or two: the recorded crash cannot happen
        # where it did. (Swapping the two mountains is not enough: their squares differ by less
        # than a step's flight, so a crash may land on the same display.)
        game = self.replay(files={"mountain/_mountain4": b""})
        self.assertIn(game.status, (1, 2), game.stdout())
        self.assertRegex(game.stderr(), r"^(replay diverged at display \d+: .+|velmo: replay refused: .+)\n$")




def header_of(replay):
    """The header of a replay file (docs/replay.md)."""
    at = 8 + 2
    at += 1 + replay[at] + 12
    count, = struct.unpack_from("<H", replay, at)
    at += 2
    for _ in range(count):
        at += 2 + struct.unpack_from("<H", replay, at)[0]
    return replay[:at]


def with_names(replay, names):
    """The replay with a name typed and entered after each of its game ends, a character a display."""
    data = replay
    header = header_of(replay)
    at = len(header)
    records, ends = [], []
    sizes = {1: 4, 2: 1, 3: 10, 4: 8, 5: 5}
    while at < len(data):
        kind, display = struct.unpack_from("<BI", data, at)
        end = at + 5 + sizes[kind]
        records.append((display, 0 if kind != 5 else 1, bytes(data[at:end])))
        if kind == 5:
            ends.append(display)
        at = end
    for display, name in zip(ends, names):
        for i, c in enumerate(name.encode("cp1251") + b"\r"):
            records.append((display + 2 + i, 0, struct.pack("<BIB", 2, display + 2 + i, c)))
    records.sort(key=lambda r: (r[0], r[1]))
    return header + b"".join(r[2] for r in records)


class ExactOutcomes(unittest.TestCase):
    """Games that used to be judged "somewhere within so many seconds" have exact outcomes when
    they are replayed: the same displays, stars and table on any machine."""

    def test_the_benchmark_flight_collects_crashes_and_times_out_at_fixed_displays(self):
        with open(harness.BENCH_REPLAY, "rb") as f:
            replay = with_names(f.read(), ["Один", "Two", "Three"])
        game = replayed(self, replay, "--replay-writes-highscores")
        self.assertEqual(game_overs(game.stdout()), [
            "Game over at display 67: crash with 3 stars",
            "Game over at display 123: crash with 2 stars",
            "Game over at display 227: time-out with 0 stars",
        ])
        self.assertEqual(harness.highscores(game.file("h.bin")),
                         [("Один".encode("cp1251"), 3), ("Two".encode(), 2), (b"Three", 0)] + [(b"", 0)] * 7)

    def test_a_tour_of_the_interface_ends_the_same_every_time(self):
        """The help text scrolled by keys and by its arrow, the menu's buttons, a flight into a
        mountain after a restart by button, a time-out after F2, names typed and the list left by
        Tab and Space: every game end and the table exact, and nothing on standard error (in the
        sanitized build, no sanitizer report)."""
        with open(harness.BENCH_REPLAY, "rb") as f:
            header = header_of(f.read())
        records = []

        def key(display, code):
            records.append(struct.pack("<BIi", 1, display, code))

        def chars(display, text):
            for i, c in enumerate(text.encode("cp1251")):
                records.append(struct.pack("<BIB", 2, display + i, c))

        def click(display, x, y):
            records.append(struct.pack("<BIBBff", 3, display, 0, 0, x, y))
            records.append(struct.pack("<BIBBff", 3, display, 0, 1, x, y))

        records.append(struct.pack("<BIii", 4, 0, 400, 400))
        click(5, 0.75, 0.85)              # the menu's help button
        for i, code in enumerate([103, 103, 103, 105, 101]):  # Down x3, Page Down, Up
            key(8 + i, code)
        click(14, 0.49, -0.49)            # the help text's lower scroll arrow (a cell is 0.04)
        click(16, 0.0, -0.65)             # its OK: the menu
        click(20, -0.65, 0.85)            # the menu's restart button: the benchmark's first game, 20 displays later
        for i in range(8):
            key(20 + i, 100)
        for i in range(5):
            key(70 + i, 100)
        records.append(struct.pack("<BIBi", 5, 87, 0, 3))  # the game ends it must meet
        chars(90, "Tour\r")
        click(96, 0.0, -0.7)              # the list's OK: the menu
        key(100, 2)                       # F2, then nothing: the bubble times out
        records.append(struct.pack("<BIBi", 5, 147, 1, 0))
        chars(150, "Тур\r")
        chars(160, "\t ")                 # Tab to the list's OK, Space presses it
        game = replayed(self, header + b"".join(records), "--replay-writes-highscores", size="400x400")
        self.assertEqual(game_overs(game.stdout()), [
            "Game over at display 87: crash with 3 stars",
            "Game over at display 147: time-out with 0 stars",
        ])
        self.assertEqual(harness.highscores(game.file("h.bin")),
                         [(b"Tour", 3), ("Тур".encode("cp1251"), 0)] + [(b"", 0)] * 8)
        self.assertEqual(game.stderr(), "")
        self.assertEqual(checked_game_overs(header + b"".join(records)), game_overs(game.stdout()))

    def test_missing_sound_files_are_reported_at_every_cue_and_the_game_goes_on(self):
        # The benchmark flight collects 5 stars and crashes twice, so each cue is certain to play;
        # after its last time-out the ship stands still and no cue plays any more.
        with open(harness.BENCH_REPLAY, "rb") as f:
            game = replayed(self, f.read(), remove=("blast.wav", "collect.wav"))
        self.assertEqual(len(game_overs(game.stdout())), 3)
        self.assertEqual(sorted(game.stderr().splitlines()),
                         ["Couldn't open blast.wav"] * 2 + ["Couldn't open collect.wav"] * 5)

    def test_a_killed_recording_replays_up_to_its_last_game_end(self):
        game, path = harness.start_recording(self, "killed.vrp", 300)
        game.wait_output("Game over", timeout=120)  # nothing pressed: the bubble times out
        game.key("F2")
        game.type("lost")  # after the game end: not yet written, lost with the kill
        game.process.kill()
        game.process.wait()
        with open(path, "rb") as f:
            recorded = f.read()
        self.assertEqual(recorded[-10], 5, "the file ends with the game end")
        self.assertEqual(replayed_game_overs(self, recorded), ["Game over at display 47: time-out with 0 stars"])


class DamagedFiles(unittest.TestCase):
    """Refused before the window opens with status 1: a file that cannot be played in one line, a
    usage error in its line and the usage."""

    def refused(self, content, *extra):
        folder = tempfile.mkdtemp(prefix="velmo-replay-")
        self.addCleanup(shutil.rmtree, folder, True)
        path = os.path.join(folder, "bad.vrp")
        if content is not None:
            with open(path, "wb") as f:
                f.write(content)
        x = harness.XServer()
        self.addCleanup(x.stop)
        env = dict(os.environ, DISPLAY=x.display, SDL_AUDIODRIVER="dummy")
        done = subprocess.run([harness.BINARY, "--replay", path] + list(extra), cwd=folder, env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stdout, b"")  # nothing was loaded: no window, no GL lines
        lines = done.stderr.decode().splitlines()
        self.assertTrue(lines[0].startswith("velmo: "), lines)
        if extra:
            self.assertTrue(lines[1].startswith("usage: velmo"), lines)
        else:
            self.assertEqual(len(lines), 1, lines)
        return lines[0]

    def test_each_damage_gets_one_line(self):
        header = (b"VELMOREP\x01\x00\x031.0" + (20).to_bytes(4, "little") + (50).to_bytes(4, "little") +
                  (1).to_bytes(4, "little") + b"\x00\x00")
        self.assertIn("truncated header", self.refused(header[:15]))
        self.assertIn("wrong magic", self.refused(b"VELMOREQ" + header[8:]))
        backwards = header + b"\x01" + (9).to_bytes(4, "little") + (2).to_bytes(4, "little") + \
            b"\x01" + (8).to_bytes(4, "little") + (2).to_bytes(4, "little")
        self.assertIn("display number going backwards", self.refused(backwards))
        outside = header + b"\x04" + bytes(4) + (400).to_bytes(4, "little") + (400).to_bytes(4, "little") + \
            b"\x03" + (1).to_bytes(4, "little") + b"\x00\x00" + bytes.fromhex("0000c03f") + bytes(4)  # x = 1.5
        self.assertIn("mouse press outside the window", self.refused(outside))
        self.assertIn("wrong magic", self.refused(os.urandom(10 << 20)))
        self.assertIn("this is velmo 1.0", self.refused(header.replace(b"\x031.0", b"\x039.9")))
        self.assertIn("cannot read the replay", self.refused(None))
        self.assertIn("unknown option", self.refused(header, "--speed"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
