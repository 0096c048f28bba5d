"""Files a hostile folder or a careless player hands the real game: sound files announcing a
gigabyte, a recording's target before a start-up that fails, named pipes for a replay and a
recording, a ship part folder with a name longer than 1024 bytes, and data files naming paths
outside the game folder, which must be refused without being opened (seen with strace)."""
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest

import harness
from test_bad_data import NO_VARIANT
from test_shared_highscores import run_games_under



def announcing_a_gigabyte(wave):
    """The wave file with its data chunk announcing 1 GiB, and as large as that: a sparse file."""
    at = 12
    while wave[at:at + 4] != b"data":
        at += 8 + struct.unpack("<I", wave[at + 4:at + 8])[0]
    header = bytearray(wave[:at + 8])
    header[at + 4:at + 8] = struct.pack("<I", 1 << 30)
    header[4:8] = struct.pack("<I", (1 << 30) + at)
    return bytes(header)


def name_the_hull(game, folder):
    """Makes the ship's model file name `folder` where it names the hull's part folder."""
    model = os.path.join(game.workdir, "vorizozadi1")
    with open(model, "rb") as f:
        data = f.read()
    old = struct.pack("<i", len("ship/hull")) + b"ship/hull"
    with open(model, "wb") as f:
        f.write(data.replace(old, struct.pack("<i", len(folder)) + folder.encode(), 1))


class Hostile(unittest.TestCase):
    def game(self, files=None, args=(), **options):
        game = harness.Game(files=files, args=["-geometry", "200x200+0+0"] + list(args), **options)
        self.addCleanup(game.stop)
        return game

    def run_briefly(self, game, timeout=20):
        """Starts the game and waits for it to end by itself; the time it took."""
        began = time.time()
        game.start(wait_window=False)
        try:
            game.wait(timeout)
        except subprocess.TimeoutExpired:
            self.fail("the game still ran after %s s: %s" % (timeout, game.stderr()))
        return time.time() - began

    def test_sound_files_announcing_a_gigabyte_are_refused_within_the_memory_bound(self):
        # The benchmark's replay crashes twice and collects stars, so both cues play.
        with open(harness.BENCH_REPLAY, "rb") as f:
            replay = f.read()
        game = self.game(files={"play.vrp": replay}, args=["--replay", "play.vrp", "--replay-speed", "0"])
        for name in ("blast.wav", "collect.wav"):
            path = os.path.join(game.workdir, name)
            with open(path, "rb") as f:
                header = announcing_a_gigabyte(f.read())
            with open(path, "wb") as f:
                f.write(header)
                f.truncate(len(header) + (1 << 30))
        game.start()
        game.wait_output("Replay finished", timeout=240)
        with open("/proc/%d/status" % game.process.pid) as f:
            peak_kb = int([line for line in f if line.startswith("VmHWM:")][0].split()[1])
        print("peak memory of the game: %d MB" % (peak_kb // 1024))
        self.assertEqual(game.close(), 0)
        if "ASAN_OPTIONS" not in os.environ:  # the sanitized game's shadow memory alone passes the bound
            self.assertLess(peak_kb, 256 * 1024)
        self.assertEqual(sorted(game.stderr().splitlines()), [
            "blast.wav: larger than 1 MB; the cue stays silent",
            "collect.wav: larger than 1 MB; the cue stays silent"])

    def test_a_recording_target_is_untouched_until_start_up_succeeds(self):
        with open(harness.BENCH_REPLAY, "rb") as f:
            replay = f.read()
        game = self.game(files=dict(harness.QUICK, **{"keep.vrp": replay, "h.bin": b"\xff" * 240}))
        os.remove(os.path.join(game.workdir, "sky", "f.raw"))
        game.args += ["--record", "keep.vrp"]
        self.run_briefly(game)
        self.assertEqual(game.process.returncode, 1)
        self.assertEqual(game.file("keep.vrp"), replay)
        # The highscores and the data files are no target: refused before anything starts.
        for target in ("h.bin", "./h.bin", "config.txt", "vorizozadi1"):
            with self.subTest(target=target):
                refused = self.game(copy_run_dir=False, files={"h.bin": b"\xff" * 240, "config.txt": "1",
                                                               "vorizozadi1": "C3DOBJECT"},
                                    args=["--record", target])
                self.run_briefly(refused)
                self.assertEqual(refused.process.returncode, 1)
                self.assertIn('velmo: cannot write the replay "%s"' % target, refused.stderr())
                self.assertEqual(refused.file("h.bin"), b"\xff" * 240)
                self.assertEqual(refused.file("config.txt"), b"1")

    def test_named_pipes_are_refused_at_once(self):
        for option in ("--replay", "--record"):
            with self.subTest(option=option):
                game = self.game(copy_run_dir=False, files=harness.QUICK)
                os.mkfifo(os.path.join(game.workdir, "p.vrp"))
                game.args += [option, "p.vrp"]
                took = self.run_briefly(game, timeout=20)
                self.assertEqual(game.process.returncode, 1)
                self.assertLess(took, 2.0)
                self.assertIn('"p.vrp"', game.stderr())
                self.assertIn("not a regular file", game.stderr())
        folder = self.game(copy_run_dir=False, args=["--replay", "dir.vrp"])
        os.mkdir(os.path.join(folder.workdir, "dir.vrp"))
        self.run_briefly(folder)
        self.assertIn('velmo: cannot read the replay "dir.vrp": it is a folder', folder.stderr())

    def test_a_part_folder_name_over_1024_bytes_is_recorded_whole(self):
        game = self.game(files=harness.QUICK, args=["--record", "long.vrp"])
        long = "ship/" + "/".join(["d" * 200] * 6) + "/hull"
        self.assertGreater(len(long), 1024)
        shutil.copytree(os.path.join(game.workdir, "ship", "hull"), os.path.join(game.workdir, long))
        name_the_hull(game, long)
        game.start()
        game.wait_loaded()
        self.assertEqual(game.close(), 0)
        game.args = ["-geometry", "200x200+0+0", "--replay", "long.vrp", "--replay-speed", "0"]
        game.start()
        game.wait_output("Replay finished", timeout=120)
        self.assertEqual(game.close(), 0)
        self.assertEqual(game.stderr(), "")

    def test_data_paths_outside_the_game_folder_are_refused_without_being_opened(self):
        run_games_under(self, ["strace", "-f", "-qq", "-e", "trace=open,openat", "-o", "trace.txt"])
        # A part list naming a file elsewhere: the part is a plain sphere, the game goes on.
        game = self.game(files=dict(harness.QUICK, **{"ship/hull/files.txt": "../../../../etc/passwd"}))
        game.start(timeout=120)
        game.wait_loaded(120)
        self.assertEqual(game.close(), 0)
        self.assertEqual(game.stderr().splitlines(),
                         ['Data file path "ship/hull/../../../../etc/passwd" leaves the game folder; it is not read'])
        with open(os.path.join(game.workdir, "trace.txt")) as f:
            self.assertFalse("ship/hull/.." in f.read(), "the part list's path was opened")
        # A model file naming an absolute folder: no part there, start-up stops.
        absolute = self.game(files=harness.QUICK)
        name_the_hull(absolute, "/var/elsewhere")
        self.run_briefly(absolute, timeout=120)
        self.assertEqual(absolute.process.returncode, 1)
        self.assertEqual(absolute.stderr(), 'Data file path "/var/elsewhere/files.txt" leaves the game folder; '
                                            'it is not read\n' + NO_VARIANT +
                                            '\nvelmo: /var/elsewhere/files.txt: leaves the game folder\n')
        with open(os.path.join(absolute.workdir, "trace.txt")) as f:
            self.assertFalse("/var/elsewhere" in f.read(), "the model file's folder was opened")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
