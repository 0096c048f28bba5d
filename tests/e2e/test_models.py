"""The mountains show on screen (their progress lines in order: test_floor_sky.py)."""
import sys
import time
import unittest

import harness


class Models(harness.GameTestCase):
    def test_mountains_in_view(self):
        self.game = harness.Game()
        game = self.game.start()
        game.wait_loaded()
        game.key("F2")
        # Turn towards the mountain field (to the left of the start) before the bubble runs out.
        game.key(*["Left"] * 9, delay_ms=70)
        time.sleep(0.5)  # the last turn drawn, on a busy machine too
        shot = game.screenshot()
        self.assertEqual(game.close(), 0)
        # Snow: near-white pixels in the upper half of the picture, where the floor never is.
        width, height = shot.size
        snowy = sum(1 for x in range(0, width, 4) for y in range(height // 4, height // 2, 4)
                    if min(shot.getpixel((x, y))) > 170)
        self.assertGreater(snowy, 10)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
