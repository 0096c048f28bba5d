"""Half a minute of play with everything the interface offers: flights with turns, a crash into the
mountains, name entries, the highscore list, restarts by key and by button, the help text and its
scrolling by key and by mouse. Nothing may be printed on standard error, so in the sanitized build
(where this runs the sanitized game) any sanitizer report fails it."""
import sys
import time
import unittest

import harness
import test_game

PLAY_SECONDS = 30


class SanitizedGame(unittest.TestCase):
    def setUp(self):
        self.game = harness.Game(args=["-geometry", "400x400+0+0"])

    def tearDown(self):
        self.game.stop()

    def at(self, x, y):
        width, height = self.size
        return test_game.interface_to_pixel(x, y, width, height)

    def shows_button(self, x, y):
        return test_game.greenish(self.game.screenshot().getpixel(self.at(x, y)))

    def wait_until(self, condition, what, timeout=40):
        deadline = time.time() + timeout
        while not condition():
            self.assertLess(time.time(), deadline, what)
            time.sleep(0.2)

    def wait_for_menu(self):
        # Inside "Заново (F2)", off its text.
        self.wait_until(lambda: self.shows_button(-0.88, 0.81), "the menu did not show")

    def wait_for_game_over(self):
        # The name entry replaces the menu: the "Справка" button goes.
        self.wait_until(lambda: not self.shows_button(0.52, 0.81), "the game did not end")
        time.sleep(0.3)

    def enter_name(self, name):
        self.game.type(name)
        self.game.key("Return")
        self.wait_until(lambda: self.shows_button(-0.4, -0.7), "no highscore list")  # its OK button
        self.names.append(name.encode())

    def test_half_a_minute_of_play_without_a_report(self):
        game = self.game.start()
        self.size = game.geometry()
        self.names = []
        began = time.time()
        self.wait_for_menu()

        # A flight with turns back and forth, to its end, then the name and the list.
        game.key("Left", "Left", "Right", "Left", "Right", "Right", delay_ms=150)
        self.wait_for_game_over()
        self.enter_name("First")
        game.click(*self.at(-0.4, -0.7))
        self.wait_for_menu()

        # The help text, scrolled by key and by its arrows, then back to the menu with its OK.
        game.click(*self.at(0.75, 0.85))
        self.wait_until(lambda: not self.shows_button(-0.88, 0.81), "no help text")
        game.key("Down", "Down", "Next", "Next", "Up", "Prior", "Down")
        cell = 2.0 / 50  # an arrow's cell lies inside the view's right corners
        game.click(*self.at(0.5 - cell / 2, -0.5 + cell / 2))
        game.click(*self.at(0.5 - cell / 2, 0.5 - cell / 2))
        game.click(*self.at(0.0, -0.65))
        self.wait_for_menu()

        # Into the mountain field to the left of the start: a crash with its blast (or the bubble).
        game.click(*self.at(-0.65, 0.85))  # "Заново (F2)"
        game.key(*["Left"] * 9, delay_ms=70)
        self.wait_for_game_over()
        self.enter_name("Second")
        game.click(*self.at(-0.4, -0.7))
        self.wait_for_menu()

        # Restarts by key, with and without a finished game, until the half minute is played.
        rounds = 0
        while time.time() - began < PLAY_SECONDS:
            game.key("F2", "Right", "Right", "Left", delay_ms=100)
            if rounds % 2 == 0:
                self.wait_for_game_over()
                game.key("F2")  # drops the result
            rounds += 1
        self.wait_for_menu()

        self.assertEqual(game.close(), 0, game.stderr())
        self.assertEqual(game.stderr(), "")
        stored = [name for name, _ in test_game.decode_highscores(game.file("h.bin"))]
        for name in self.names:
            self.assertIn(name, stored)
        self.assertGreaterEqual(time.time() - began, PLAY_SECONDS)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
