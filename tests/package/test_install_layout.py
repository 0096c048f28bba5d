"""`cmake --install` into a scratch root: the places Debian's games policy gives each file, and
icons that show the ship on a clear background."""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

BUILD_DIR = os.environ["VELMO_BUILD_DIR"]
PREFIX = os.environ.get("VELMO_INSTALL_PREFIX", "/usr")
ICON_SIZES = (32, 48, 64, 128, 256)
DATA_FILES = ["vorizozadi1", "mountain/_mountain4", "mountain/_mountain5", "normal2.bmp", "block.bmp",
              "blast2.bmp", "collect.wav", "blast.wav"] + ["sky/%s.raw" % f for f in ("f", "b", "l", "r", "o", "earth")]


class InstallLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="velmo-install-")
        result = subprocess.run(["cmake", "--install", BUILD_DIR], env=dict(os.environ, DESTDIR=cls.root),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if result.returncode != 0:
            shutil.rmtree(cls.root)
            raise AssertionError("cmake --install failed:\n" + result.stdout)
        cls.prefix = cls.root + PREFIX

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root)

    def installed(self, relative):
        return os.path.join(self.prefix, relative)

    def test_every_file_has_its_place_and_mode(self):
        cases = [  # path under the prefix, executable
            ("games/velmo", True),
            ("lib/games/velmo/velmo", True),
            ("share/applications/velmo.desktop", False),
            ("share/metainfo/io.github.velmo.velmo.metainfo.xml", False),
            ("share/man/man6/velmo.6.gz", False),
            ("share/doc/velmo/copyright", False),
            ("share/doc/velmo/changelog.gz", False),
        ] + [("share/games/velmo/" + name, False) for name in DATA_FILES] + [
            ("share/icons/hicolor/%dx%d/apps/velmo.png" % (s, s), False) for s in ICON_SIZES]
        for relative, executable in cases:
            with self.subTest(path=relative):
                mode = os.stat(self.installed(relative)).st_mode
                self.assertTrue(stat.S_ISREG(mode))
                self.assertEqual(stat.S_IMODE(mode), 0o755 if executable else 0o644)
        with open(self.installed("lib/games/velmo/velmo"), "rb") as f:
            self.assertEqual(f.read(4), b"\x7fELF")

    def test_the_data_holds_nothing_a_player_writes(self):
        # A table or configuration from the developer's own games would be linked into every
        # player's folder.
        data = self.installed("share/games/velmo")
        for dirpath, _, files in os.walk(data):
            for name in files:
                self.assertNotIn(name, ("h.bin", "config.txt"), dirpath)
        self.assertEqual(sorted(os.listdir(os.path.join(data, "sky"))),
                         sorted(f.split("/")[1] for f in DATA_FILES if f.startswith("sky/")))

    def test_the_desktop_entry_starts_the_launcher_with_the_icon_in_the_arcade_games(self):
        with open(self.installed("share/applications/velmo.desktop"), encoding="utf-8") as f:
            entry = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
        self.assertEqual(entry["Exec"], PREFIX + "/games/velmo")
        self.assertEqual(entry["Icon"], "velmo")
        self.assertLessEqual({"Game", "ArcadeGame"}, set(entry["Categories"].rstrip(";").split(";")))

    def test_software_centres_take_the_metadata_and_the_desktop_entry(self):
        # Without the network the screenshots' addresses are checked for their form only.
        for command in (["appstreamcli", "validate", "--no-net", "--pedantic",
                         self.installed("share/metainfo/io.github.velmo.velmo.metainfo.xml")],
                        ["desktop-file-validate", self.installed("share/applications/velmo.desktop")]):
            with self.subTest(command=command[0]):
                result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                self.assertEqual(result.returncode, 0, result.stdout)
                # Not even a hint or a pedantic remark.
                self.assertNotRegex(result.stdout, r"(?m)^[EWIP]: |warning|error|hint", result.stdout)

    def test_icons_show_the_ship_on_a_clear_background(self):
        for size in ICON_SIZES:
            with self.subTest(size=size):
                icon = Image.open(self.installed("share/icons/hicolor/%dx%d/apps/velmo.png" % (size, size)))
                self.assertEqual(icon.size, (size, size))
                self.assertEqual(icon.mode, "RGBA")
                alpha = icon.getchannel("A")
                for corner in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)):
                    self.assertEqual(alpha.getpixel(corner), 0, corner)
                # The ship covers a good part of the square (about a fifth) and is not one flat
                # colour.
                coverage = sum(alpha.getdata()) / (255 * size * size)
                self.assertGreater(coverage, 0.1)
                colours = {p for p, a in zip(icon.convert("RGB").getdata(), alpha.getdata()) if a == 255}
                self.assertGreater(len(colours), 8)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
