"""The real game starts, prints its identification, takes keys and closes cleanly."""
import re
import sys
import time
import unittest

import harness
from pilot import greenish, interface_to_pixel
from test_floor_sky import settled_screenshot


def yellowish(pixel):
    """The highlight's translucent yellow over the scene."""
    r, g, b = pixel
    return r > 100 and g > 100 and b < min(r, g) - 50


class Startup(harness.GameTestCase):
    def setUp(self):
        self.game = harness.Game()

    def sky(self):
        """The window's top rows, which show only the sky: it turns with the ship and does not
        move when the ship flies on."""
        return list(self.game.grab().crop((0, 0, 800, 12)).getdata())

    @staticmethod
    def differing(one, other):
        return sum(max(abs(x - y) for x, y in zip(a, b)) > 8 for a, b in zip(one, other))

    def wait_for_sky(self, condition, failure):
        """A loaded machine may take a while to draw the step that carries out a turn."""
        harness.wait_until(lambda: condition(self.sky()), failure, 10)

    def test_identification_keys_and_clean_close(self):
        game = self.game.start()
        game.wait_loaded()
        # The whole window is on the screen, its top row and left column included.
        shot = settled_screenshot(game)
        self.assertEqual(shot.size, (800, 600))
        self.assertTrue(any(shot.getpixel((x, 0)) != (0, 0, 0) for x in range(0, 800, 10)))
        self.assertTrue(any(shot.getpixel((0, y)) != (0, 0, 0) for y in range(0, 600, 10)))

        # Left turns the ship (the sky moves); Right turns it back to the same sky. The turns come
        # right after F2, long before an idle game times out and can no longer turn.
        game.key("F2")
        time.sleep(0.3)
        before = self.sky()
        game.key("Left")
        # The sky is smooth: a turn changes most pixels, but many of them only a little.
        self.wait_for_sky(lambda sky: sum(a != b for a, b in zip(before, sky)) > len(before) // 4, "Left turned nothing")
        game.key("Right")
        self.wait_for_sky(lambda sky: self.differing(before, sky) < len(before) // 50, "Right did not turn back")

        # Tab highlights the second menu button, "Справка", in yellow.
        help_fill = interface_to_pixel(0.52, 0.81, 800, 600)  # inside the button, off its text
        # F2 first: a fresh menu, long before this game can time out and replace it.
        game.key("F2")
        time.sleep(0.2)
        self.assertTrue(greenish(game.grab().getpixel(help_fill)))
        game.key("Tab")
        harness.wait_until(lambda: yellowish(game.grab().getpixel(help_fill)),
                           lambda: "no yellow highlight: %s" % (game.grab().getpixel(help_fill),), 10)

        # F2 restarts: pressed more often than an idle game lasts, the game never ends; left
        # alone, it ends and the name entry replaces the menu.
        for _ in range(8):
            game.key("F2")
            time.sleep(0.7)
            pixel = game.grab().getpixel(help_fill)
            self.assertTrue(greenish(pixel) or yellowish(pixel), "the game ended despite F2")
        harness.wait_until(lambda: not greenish(game.grab().getpixel(help_fill)), "the game never ended", 30, 0.2)

        self.assertEqual(game.close(), 0)
        lines = game.stdout().splitlines()
        self.assertGreaterEqual(len(lines), 3, game.stdout())
        self.assertRegex(lines[0], r"^Vendor:   \S")
        self.assertRegex(lines[1], r"^Renderer: \S")
        self.assertRegex(lines[2], r"^Version:  \S")
        self.assertEqual(game.stderr().strip(), "")

    def test_out_of_range_config_is_reported_and_clamped(self):
        self.game.stop()
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
