"""The launcher without installing anything: a copy of it points at a scratch data folder and a
stand-in program that records where it ran and with what arguments."""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = os.environ.get("VELMO_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
TEMPLATE = os.path.join(SOURCE_DIR, "packaging", "velmo.in")

# The stand-in program: writes its working directory and arguments to $PROBE, then exits with
# $STATUS, so a test sees what the launcher handed over.
STAND_IN = """#!/bin/sh
{ pwd; printf '%s\\n' "$@"; } > "$PROBE"
exit "${STATUS:-0}"
"""

DATA = {  # a miniature of the installed data: files at the top and folders of files
    "vorizozadi1": "C3DOBJECT",
    "block.bmp": "BM",
    "collect.wav": "RIFF",
    "sky/f.raw": "sky",
    "mountain/_mountain4": "push",
}


class Launcher(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="velmo-launcher-")
        self.addCleanup(shutil.rmtree, self.root)
        self.data = self.path("usr/share/games/velmo")
        for name, text in DATA.items():
            self.write(os.path.join(self.data, name), text)
        program = self.path("usr/lib/games/velmo/velmo")
        self.write(program, STAND_IN, mode=0o755)
        with open(TEMPLATE) as f:
            script = f.read().replace("@VELMO_FULL_DATA_DIR@", self.data).replace("@VELMO_FULL_PROGRAM@", program)
        self.launcher = self.path("usr/games/velmo")
        self.write(self.launcher, script, mode=0o755)
        self.home = self.path("home/player")
        os.makedirs(self.home)
        self.folder = os.path.join(self.home, ".local", "share", "velmo")
        self.probe = self.path("probe")

    def path(self, relative):
        return os.path.join(self.root, relative)

    @staticmethod
    def write(path, text, mode=None):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
        if mode is not None:
            os.chmod(path, mode)

    def run_launcher(self, *args, env=None, status=0):
        full_env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home, "PROBE": self.probe,
                    "STATUS": str(status)}
        full_env.update(env or {})
        full_env = {k: v for k, v in full_env.items() if v is not None}
        if os.path.exists(self.probe):
            os.remove(self.probe)
        return subprocess.run([self.launcher] + list(args), cwd=self.root, env=full_env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def probed(self):
        """The program's working directory and arguments, or None when it never ran."""
        if not os.path.exists(self.probe):
            return None
        with open(self.probe) as f:
            lines = f.read().split("\n")[:-1]
        return lines[0], lines[1:]

    def assert_links_to_data(self, folder):
        for name in ("vorizozadi1", "block.bmp", "collect.wav", "sky", "mountain"):
            link = os.path.join(folder, name)
            self.assertTrue(os.path.islink(link), name)
            self.assertEqual(os.readlink(link), os.path.join(self.data, name))

    def test_first_start_makes_a_private_folder_of_links_and_runs_the_game_in_it(self):
        # A table or configuration in the data folder is never linked: the game would write
        # its table through the link.
        self.write(os.path.join(self.data, "h.bin"), "installed")
        self.write(os.path.join(self.data, "config.txt"), "1 1 1")
        result = self.run_launcher("-geometry", "400x400", "two words")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        self.assertEqual(self.probed(), (self.folder, ["-geometry", "400x400", "two words"]))
        self.assertEqual(stat.S_IMODE(os.stat(self.folder).st_mode), 0o700)
        self.assert_links_to_data(self.folder)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted({n.split("/")[0] for n in DATA}))
        # The game reads through the links: a file inside a linked folder is there.
        with open(os.path.join(self.folder, "sky", "f.raw")) as f:
            self.assertEqual(f.read(), "sky")

    def test_the_game_s_exit_status_is_the_launcher_s(self):
        self.assertEqual(self.run_launcher(status=3).returncode, 3)

    def test_xdg_data_home_chooses_the_folder_only_when_absolute(self):
        elsewhere = self.path("xdg")
        cases = [  # XDG_DATA_HOME, the folder the game runs in
            (elsewhere, os.path.join(elsewhere, "velmo")),
            ("relative/share", self.folder),
            ("", self.folder),
            (None, self.folder),
        ]
        for xdg, folder in cases:
            with self.subTest(xdg=xdg):
                result = self.run_launcher(env={"XDG_DATA_HOME": xdg})
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(self.probed()[0], folder)
                self.assert_links_to_data(folder)
        self.assertFalse(os.path.exists(os.path.join(self.root, "relative")))

    def test_the_player_s_own_files_are_never_touched(self):
        os.makedirs(self.folder)
        own_sky = self.path("my-sky")
        os.makedirs(own_sky)
        mine = {"h.bin": b"\xff" * 240, "config.txt": b"30 60 0", "block.bmp": b"my own floor"}
        for name, data in mine.items():
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(data)
        os.symlink(own_sky, os.path.join(self.folder, "sky"))
        os.symlink("/nowhere/notes", os.path.join(self.folder, "notes"))
        self.write(os.path.join(self.data, "h.bin"), "installed")
        self.write(os.path.join(self.data, "config.txt"), "1 1 1")

        for start in range(2):
            with self.subTest(start=start):
                result = self.run_launcher()
                self.assertEqual(result.returncode, 0, result.stderr)
                for name, data in mine.items():
                    path = os.path.join(self.folder, name)
                    self.assertFalse(os.path.islink(path), name)
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), data, name)
                self.assertEqual(os.readlink(os.path.join(self.folder, "sky")), own_sky)
                self.assertEqual(os.readlink(os.path.join(self.folder, "notes")), "/nowhere/notes")
                self.assertEqual(os.readlink(os.path.join(self.folder, "vorizozadi1")),
                                 os.path.join(self.data, "vorizozadi1"))

    def test_an_upgrade_that_adds_drops_and_moves_files_is_followed(self):
        self.assertEqual(self.run_launcher().returncode, 0)
        os.remove(os.path.join(self.data, "collect.wav"))
        self.write(os.path.join(self.data, "blast.wav"), "RIFF")
        # A link left by a package that kept its data elsewhere, now gone.
        os.remove(os.path.join(self.folder, "block.bmp"))
        os.symlink("/usr/share/old-velmo/block.bmp", os.path.join(self.folder, "block.bmp"))

        result = self.run_launcher()
        self.assertEqual(result.returncode, 0, result.stderr)
        names = sorted(os.listdir(self.folder))
        self.assertEqual(names, ["blast.wav", "block.bmp", "mountain", "sky", "vorizozadi1"])
        for name in names:
            self.assertEqual(os.readlink(os.path.join(self.folder, name)), os.path.join(self.data, name))

    def test_help_and_version_make_nothing_and_need_no_home(self):
        for args, env in [(["-h"], {}), (["--help"], {"HOME": "relative-home"}), (["-geometry", "9x9", "--version"], {"HOME": None})]:
            with self.subTest(args=args, env=env):
                result = self.run_launcher(*args, env=env)
                self.assertEqual((result.returncode, result.stderr), (0, ""))
                self.assertEqual(self.probed(), (self.root, args))
                self.assertFalse(os.path.exists(os.path.join(self.home, ".local")))

    def test_failures_say_why_and_never_start_the_game(self):
        blocker = self.path("a-file")
        self.write(blocker, "")
        cases = [  # environment, a word the message must hold
            ({"HOME": None}, "HOME"),
            ({"HOME": "relative-home"}, "HOME"),
            ({"XDG_DATA_HOME": blocker}, "cannot create"),
        ]
        for env, word in cases:
            with self.subTest(env=env):
                result = self.run_launcher(env=env)
                self.assertEqual(result.returncode, 1)
                # The system's own reason may come first; the launcher's line ends the output.
                self.assertTrue(result.stderr.splitlines()[-1].startswith("velmo: "), result.stderr)
                self.assertIn(word, result.stderr)
                self.assertIsNone(self.probed())

        shutil.rmtree(self.data)
        result = self.run_launcher()
        self.assertEqual(result.returncode, 1)
        self.assertIn("reinstall", result.stderr)
        self.assertIsNone(self.probed())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
