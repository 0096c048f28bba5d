"""The Windows package under Wine: the zip unzipped into a scratch folder, velmo.exe started there
with Wine on a private Xvfb, played to the name entry and closed; a damaged data file; the sound
cues through ALSA's file output. VELMO_WINDOWS_ZIP names the zip; tests/windows/run gives Wine
its own HOME and prefix."""
import os
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import harness  # noqa: E402
from pilot import Pilot  # noqa: E402

ZIP = os.environ.get("VELMO_WINDOWS_ZIP", "")
STAMP = r"[A-Z][a-z]{2} [A-Z][a-z]{2} \d{2} \d{2}:\d{2}:\d{2} \d{4}"
# Everything the Linux build prints on a good start, in order, byte for byte (the stamps vary).
STARTUP_LINES = [
    r"Vendor:   \S.*",
    r"Renderer: \S.*",
    r"Version:  \S.*",
    r"Initializing floor\.\.\. \[  OK  \] " + STAMP,
    r"Initializing stars\.\.\. \[  OK  \] " + STAMP,
    r"Initializeing cube map\.\.\. \[  OK  \] " + STAMP,
    r"Loading vorizozadi\.\.\. \[  OK  \] " + STAMP,
    r"Loading landscapes\.",
    r"Loading mountain4\.\.\. \[  OK  \] " + STAMP,
    r"Loading mountain5\.\.\. \[  OK  \] " + STAMP,
]


class WineGame(harness.Game):
    """The game from the unzipped package, run by Wine. The screen is taller than 768 rows: on one
    exactly that high Wine shrinks a 1024 x 768 client area to fit."""

    def __init__(self, files=None, extra_env=None, args=("-geometry", "400x400+0+0")):
        super().__init__(copy_run_dir=False, size="1280x1024", extra_env=extra_env, args=args)
        with zipfile.ZipFile(ZIP) as archive:
            archive.extractall(self.workdir)
        self.folder = os.path.join(self.workdir, "velmo")
        for name, data in (files or {}).items():
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(data if isinstance(data, bytes) else data.encode())

    def start(self, wait_window=True, timeout=120):
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = harness.subprocess.Popen(["wine", "velmo.exe"] + self.args, cwd=self.folder,
                                                    env=self.env, stdout=out, stderr=err)
        if wait_window:
            self.window = self.wait_window(timeout)
        return self

    def raw_stdout(self):
        with open(self.stdout_path, "rb") as f:
            return f.read()

    def file(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()


class Package(unittest.TestCase):
    def test_the_zip_holds_the_program_and_its_data(self):
        with zipfile.ZipFile(ZIP) as archive:
            names = set(archive.namelist())
        for name in ["velmo/velmo.exe", "velmo/README.txt", "velmo/vorizozadi1", "velmo/collect.wav",
                     "velmo/blast.wav", "velmo/sky/f.raw", "velmo/mountain/_mountain4"]:
            self.assertIn(name, names)
        self.assertNotIn("velmo/config.txt", names, "the defaults apply until the player writes one")
        self.assertNotIn("velmo/h.bin", names, "a new player starts with an empty table")
        self.assertFalse([n for n in names if not n.startswith("velmo/")], names)


class Play(unittest.TestCase):
    def wine_game(self, **options):
        self.game = WineGame(**options)
        self.addCleanup(self.game.stop)
        return self.game

    def test_a_game_to_the_name_entry_then_close(self):
        game = self.wine_game().start()
        Pilot(game).wait_for_name_entry(90)
        game.type("Wine")
        game.key("Return")
        time.sleep(1)
        self.assertEqual(game.close(), 0)
        out = game.raw_stdout()
        self.assertNotIn(b"\r", out, "lines end in \\n alone, as on Linux")
        lines = out.decode("ascii").split("\n")
        self.assertEqual(lines[-1], "", "the last line is complete")
        self.assertEqual(len(lines) - 1, len(STARTUP_LINES), out)
        for pattern, line in zip(STARTUP_LINES, lines):
            self.assertRegex(line, "^" + pattern + "$")
        data = game.file("h.bin")
        self.assertEqual(len(data), 240)
        self.assertEqual(harness.highscores(data)[0][0], b"Wine")

    def test_a_damaged_data_file_stops_the_start_with_its_message(self):
        game = self.wine_game(files={"sky/b.raw": b""}).start(wait_window=False)
        self.assertEqual(game.wait(120), 1)
        self.assertTrue(game.stderr().endswith("Error loading back texture\nvelmo: sky/b.raw: holds 0 bytes; a face is 786432\n"),
                        game.stderr())


ALSA_TO_FILE = """
pcm.!default {{
  type file
  slave.pcm "nothing"
  file "{path}"
  format "raw"
}}
pcm.nothing {{ type null }}
"""


class Sound(unittest.TestCase):
    """ALSA's default device writes what Wine plays into a file: a cue leaves samples there."""

    def play_to_the_end(self, config):
        output = os.path.join(harness.tempfile.mkdtemp(prefix="velmo-sound-"), "samples.raw")
        self.addCleanup(harness.shutil.rmtree, os.path.dirname(output), True)
        conf = output + ".conf"
        with open(conf, "w") as f:
            f.write(ALSA_TO_FILE.format(path=output))
        self.game = WineGame(files={"config.txt": config}, extra_env={"ALSA_CONFIG_PATH": conf})
        self.addCleanup(self.game.stop)
        game = self.game.start()
        # Steering for the stars collects one or flies into rock: either way a cue plays.
        pilot = Pilot(game, between_steps=False)
        pilot.wait_for_menu(60)
        pilot.fly(90, Pilot.STARS)
        time.sleep(2)  # the cue plays on after the step that started it
        self.assertEqual(game.close(), 0)
        if not os.path.exists(output):
            return b"", game.stderr()
        with open(output, "rb") as f:
            return f.read(), game.stderr()

    def test_a_cue_is_heard(self):
        samples, printed = self.play_to_the_end("20 50 1")
        self.assertTrue(any(samples), "nothing but silence reached the device: " + printed)
        self.assertNotIn("No audio device", printed)

    def test_switched_off_nothing_is_heard(self):
        samples, printed = self.play_to_the_end("20 50 0")
        self.assertFalse(any(samples))


if __name__ == "__main__":
    if not os.path.isfile(ZIP):
        sys.exit("VELMO_WINDOWS_ZIP must name the Windows zip")
    unittest.main(argv=sys.argv[:1], verbosity=2)
