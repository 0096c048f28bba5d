"""A game under test starts from the data the build generated, whatever a player left in the run
folder: with a played "h.bin", a config.txt and a file of the player's own there, the scratch
folder holds exactly the generated files, byte for byte, so every game under test starts with an
empty table and the default configuration."""
import filecmp
import os
import sys
import unittest

import harness

RUN_DIR = os.environ["VELMO_RUN_DIR"]


class CleanStart(unittest.TestCase):
    def setUp(self):
        # A developer's own games stay; what is planted here is removed again.
        for name, data in (("h.bin", harness.highscore_table((b"Player", 9))), ("config.txt", b"10 10 0\n"),
                           ("notes.txt", b"mine")):
            path = os.path.join(RUN_DIR, name)
            if not os.path.exists(path):
                with open(path, "wb") as f:
                    f.write(data)
                self.addCleanup(os.remove, path)

    @staticmethod
    def files(folder):
        return sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names)

    def test_the_game_sees_the_generated_data_only(self):
        self.assertNotEqual(os.path.realpath(harness.DATA_DIR), os.path.realpath(RUN_DIR))
        game = harness.Game()
        self.addCleanup(game.stop)
        generated = self.files(harness.DATA_DIR)
        self.assertIn("vorizozadi1", generated)
        self.assertEqual(self.files(game.workdir), generated)
        _, differ, errors = filecmp.cmpfiles(harness.DATA_DIR, game.workdir, generated, shallow=False)
        self.assertEqual(differ + errors, [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
