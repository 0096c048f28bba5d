"""The installed package, played as a player would: `velmo` started from a fresh HOME anywhere,
a game played to the name entry, the window closed, the table found in the player's own folder;
a second user, who cannot write anywhere but at home, gets a table of their own.

Run by tests/package/run after it installed the package; the players' homes go under
VELMO_TEST_HOMES, which the script checks again after removing the package.
"""
import os
import pwd
import stat
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from pilot import Pilot  # noqa: E402

LAUNCHER = "/usr/games/velmo"
HOMES = os.environ["VELMO_TEST_HOMES"]
SECOND_USER = "nobody"


class InstalledGame(harness.Game):
    """The game started through the installed launcher, as `user` (default: this one)."""

    def __init__(self, home, user=None):
        super().__init__(copy_run_dir=False, args=["-geometry", "400x400+0+0"], extra_env={"HOME": home})
        self.env.pop("XDG_DATA_HOME", None)
        self.user = user

    def start(self, wait_window=True, timeout=60):
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            # Started from / to show the working directory does not matter.
            extra = {}
            if self.user:
                account = pwd.getpwnam(self.user)
                extra = {"user": account.pw_uid, "group": account.pw_gid, "extra_groups": []}
            self.process = subprocess.Popen([LAUNCHER] + self.args, cwd="/", env=self.env, stdout=out, stderr=err,
                                            **extra)
        if wait_window:
            self.window = self.wait_window(timeout)
        return self


class InstalledPackage(unittest.TestCase):
    def play(self, home, name, user=None):
        """One whole game ending in `name` entered; returns the player's folder."""
        self.game = InstalledGame(home, user)
        try:
            self.game.start()
            Pilot(self.game).wait_for_name_entry(90)  # generous on a busy machine
            self.game.type(name)
            self.game.key("Return")
            time.sleep(0.5)
            self.assertEqual(self.game.close(), 0, self.game.stderr())
        finally:
            self.game.stop()
        return os.path.join(home, ".local", "share", "velmo")

    def table(self, folder):
        path = os.path.join(folder, "h.bin")
        self.assertTrue(os.path.isfile(path) and not os.path.islink(path), path)
        with open(path, "rb") as f:
            data = f.read()
        self.assertEqual(len(data), 240)
        return harness.highscore_names(data)

    def test_two_players_keep_tables_of_their_own(self):
        first_home = os.path.join(HOMES, "first")
        os.mkdir(first_home)
        first = self.play(first_home, "Pilot")
        self.assertEqual(self.table(first)[0], b"Pilot")
        self.assertEqual(os.readlink(os.path.join(first, "vorizozadi1")), "/usr/share/games/velmo/vorizozadi1")

        account = pwd.getpwnam(SECOND_USER)
        second_home = os.path.join(HOMES, "second")
        os.mkdir(second_home)
        os.chown(second_home, account.pw_uid, account.pw_gid)
        second = self.play(second_home, "Second", user=SECOND_USER)
        names = self.table(second)
        self.assertEqual(names[0], b"Second")
        self.assertNotIn(b"Pilot", names)
        info = os.stat(second)
        self.assertEqual((info.st_uid, stat.S_IMODE(info.st_mode)), (account.pw_uid, 0o700))
        self.assertEqual(os.stat(os.path.join(second, "h.bin")).st_uid, account.pw_uid)

        # The first player's table is as they left it.
        self.assertEqual(self.table(first)[:2], [b"Pilot", b""])

    def test_the_manual_page_and_desktop_entry_are_found(self):
        found = subprocess.run(["man", "-w", "6", "velmo"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.assertEqual(found.stdout.strip(), "/usr/share/man/man6/velmo.6.gz", found.stderr)
        listed = subprocess.run(["dpkg", "-L", "velmo"], stdout=subprocess.PIPE, check=True, text=True).stdout.split()
        for path in (LAUNCHER, "/usr/lib/games/velmo/velmo", "/usr/share/applications/velmo.desktop",
                     "/usr/share/icons/hicolor/48x48/apps/velmo.png", "/usr/share/games/velmo/vorizozadi1"):
            self.assertIn(path, listed)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
