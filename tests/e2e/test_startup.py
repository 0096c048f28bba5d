"""The real game starts, prints its identification, takes keys and closes cleanly."""
import re
import sys
import unittest

import harness


class Startup(unittest.TestCase):
    def setUp(self):
        self.game = harness.Game()

    def tearDown(self):
        self.game.stop()

    def test_identification_keys_and_clean_close(self):
        game = self.game.start()
        game.key("F2", "Left", "Right", "Tab")
        shot = game.screenshot()
        self.assertGreater(shot.size[0], 0)
        self.assertEqual(game.close(), 0)
        lines = game.stdout().splitlines()
        self.assertGreaterEqual(len(lines), 3, game.stdout())
        self.assertRegex(lines[0], r"^Vendor:   \S")
        self.assertRegex(lines[1], r"^Renderer: \S")
        self.assertRegex(lines[2], r"^Version:  \S")
        self.assertEqual(game.stderr().strip(), "")

    def test_out_of_range_config_is_reported_and_clamped(self):
        self.game = harness.Game(files={"config.txt": "5 1000 0\n"})
        game = self.game.start()
        self.assertEqual(game.close(), 0)
        self.assertIn("config.txt: landscape detail 5 is outside 10..360, using 10", game.stderr())
        self.assertIn("config.txt: ship detail 1000 is outside 2..360, using 360", game.stderr())

    def test_no_display_is_a_failure_with_nonzero_status(self):
        self.game.env.pop("DISPLAY")
        game = self.game.start(wait_window=False)
        self.assertNotEqual(game.wait(), 0)
        self.assertTrue(re.search(r"display|DISPLAY", game.stderr()), game.stderr())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
