"""The mountains and stars load at start-up in order, and the mountains show on screen."""
import sys
import time
import unittest

import harness


class Models(unittest.TestCase):
    def setUp(self):
        self.game = harness.Game()

    def tearDown(self):
        self.game.stop()

    def test_progress_lines_in_order_and_mountains_in_view(self):
        game = self.game.start()
        game.wait_loaded()
        game.key("F2")
        # Turn towards the mountain field (to the left of the start) before the bubble runs out.
        game.key(*["Left"] * 9, delay_ms=70)
        time.sleep(0.5)  # the last turn drawn, on a busy machine too
        shot = game.screenshot()
        self.assertEqual(game.close(), 0)
        out = game.stdout()
        stamp = r" \[  OK  \] \w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\n"
        self.assertRegex(out, r"Initializing stars\.\.\." + stamp)
        order = [out.index("Initializing stars..."), out.index("Loading landscapes.\n"),
                 out.index("Loading mountain4..."), out.index("Loading mountain5...")]
        self.assertEqual(order, sorted(order), out)
        self.assertRegex(out, r"Loading mountain4\.\.\." + stamp + r"Loading mountain5\.\.\." + stamp)
        # Snow: near-white pixels in the upper half of the picture, where the floor never is.
        width, height = shot.size
        snowy = sum(1 for x in range(0, width, 4) for y in range(height // 4, height // 2, 4)
                    if min(shot.getpixel((x, y))) > 170)
        self.assertGreater(snowy, 10)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
