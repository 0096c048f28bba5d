"""The interface in the real game: the menu's buttons over the scene, the help and back, the
Tab highlight, and the highscore file written when the window closes."""
import os
import sys
import time
import unittest

import harness
from pilot import interface_to_pixel


def blended(inside, outside, colour):
    """Whether `inside` is the scene seen through a fill of `colour` (0 or 1 per channel) at alpha
    0.5, with `outside`, a pixel beside it, standing for the scene (the floor's texture varies
    from pixel to pixel, hence the tolerance). A filled channel is at least half bright, an
    unfilled one at most half."""
    near = all(abs(i - (o * 0.5 + c * 127.5)) <= 40 for i, o, c in zip(inside, outside, colour))
    halves = all((i >= 124) if c else (i <= 131) for i, c in zip(inside, colour))
    return near and halves


class Interface(harness.GameTestCase):
    def setUp(self):
        self.game = harness.Game()

    def start(self):
        game = self.game.start()
        game.wait_loaded()
        time.sleep(1.0)
        self.width, self.height = game.geometry()
        self.cell = 16.0 / min(self.width, self.height)
        return game

    def restart(self):
        """F2: a new game with the menu, held by P before it can time out. A game left alone
        times out within about 2.4 s and replaces any dialog with the name entry, sooner than a
        busy machine may carry out the clicks and keys that follow."""
        self.game.key("F2")
        self.game.key("p")

    def shot_showing(self, shows, what, timeout=10):
        """The first screenshot for which `shows(shot)` holds: a busy machine may take a few steps
        to carry out a key or a click, so the picture is watched for the step that does."""
        deadline = time.time() + timeout
        while True:
            shot = self.game.screenshot()
            if shows(shot):
                return shot
            self.assertLess(time.time(), deadline, "never shown: " + what)
            time.sleep(0.05)

    def menu_shown(self, shot):
        return self.has_fill(shot, -0.9, 0.9, (0, 1, 0))[0] and self.has_fill(shot, 0.5, 0.9, (0, 1, 0))[0]

    def pixel(self, x, y):
        """Window pixel (from the top left) of interface point (x, y); the whole window is on the
        screen, so a screenshot's pixels are the window's."""
        return interface_to_pixel(x, y, self.width, self.height)

    def colour_at(self, shot, x, y):
        return shot.getpixel(self.pixel(x, y))

    def has_fill(self, shot, left, top, colour):
        """Whether a button whose top-left corner is (left, top) shows its fill of `colour`: a point
        in the margin left of its text, halfway down, against one just above the button."""
        inside = self.colour_at(shot, left + self.cell / 2, top - 0.05)
        outside = self.colour_at(shot, left + self.cell / 2, top + 0.03)
        return blended(inside, outside, colour), "%s over %s" % (inside, outside)

    def assert_button_fill(self, shot, left, top, colour, what):
        shown, detail = self.has_fill(shot, left, top, colour)
        self.assertTrue(shown, what + ": " + detail)

    def test_menu_help_and_highlight(self):
        game = self.start()
        self.restart()
        shot = self.shot_showing(self.menu_shown, "the menu after F2")
        self.assert_button_fill(shot, -0.9, 0.9, (0, 1, 0), "restart button")
        self.assert_button_fill(shot, 0.5, 0.9, (0, 1, 0), "help button")

        self.restart()
        self.shot_showing(self.menu_shown, "the menu after F2")
        game.click(*self.pixel(0.75, 0.85))  # "Справка"
        # The help text view: a black text area with green ink, one cell inside a green frame.
        cell = self.cell
        left_column = self.pixel(-0.5 + cell, 0)[0]
        top_row, bottom_row = self.pixel(0, 0.5 - 2 * cell)[1], self.pixel(0, -0.5 + 2 * cell)[1]
        black_column = lambda shot: all(shot.getpixel((left_column, y)) == (0, 0, 0) for y in range(top_row, bottom_row))
        shot = self.shot_showing(black_column, "the help's black text area")
        x0, y0 = self.pixel(-0.5 + cell, 0.5 - cell)
        x1, y1 = self.pixel(0.5 - cell, -0.5 + cell)
        ink = sum(1 for x in range(x0, x1) for y in range(y0, y1) if shot.getpixel((x, y)) == (0, 255, 0))
        self.assertGreater(ink, 300)
        self.assert_button_fill(shot, -0.2, -0.6, (0, 1, 0), "OK button")
        self.assertFalse(self.has_fill(shot, -0.9, 0.9, (0, 1, 0))[0], "the menu is still shown")

        game.click(*self.pixel(0.0, -0.65))  # OK
        shot = self.shot_showing(lambda shot: not self.has_fill(shot, -0.2, -0.6, (0, 1, 0))[0], "the help closed")
        self.assert_button_fill(shot, -0.9, 0.9, (0, 1, 0), "restart button after OK")
        self.assertFalse(self.has_fill(shot, -0.2, -0.6, (0, 1, 0))[0], "the help is still shown")

        self.restart()
        self.shot_showing(self.menu_shown, "the menu after F2")
        game.key("Tab")
        shot = self.shot_showing(lambda shot: self.has_fill(shot, 0.5, 0.9, (1, 1, 0))[0], "the yellow highlight")
        self.assert_button_fill(shot, 0.5, 0.9, (1, 1, 0), "highlighted help button")
        self.assert_button_fill(shot, -0.9, 0.9, (0, 1, 0), "restart button beside the highlight")

        self.assertEqual(game.close(), 0)
        self.assertEqual(game.file("h.bin"), b"\xff" * 240)
        self.assertFalse(os.path.exists(os.path.join(game.workdir, "h.bin.tmp")))
        self.assertEqual(game.stderr().strip(), "")

    def test_highscores_survive_a_run(self):
        table = harness.highscore_table((b"Ann", 42))
        with open(os.path.join(self.game.workdir, "h.bin"), "wb") as f:
            f.write(table)
        game = self.start()
        self.assertEqual(game.close(), 0)
        self.assertEqual(game.file("h.bin"), table)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
