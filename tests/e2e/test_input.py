"""What the keyboard and the mouse wheel do in the real game: names typed in any script reach
"h.bin" as Windows-1251 bytes, in the order typed, each character once and none turned into
another; the wheel presses no button."""
import time
import unittest

import harness
from pilot import Pilot, greenish, interface_to_pixel


class Typing(harness.GameTestCase):
    def setUp(self):
        self.game = harness.Game(args=["-geometry", "400x400+0+0"])
        # A player's keyboard with Russian and French layouts beside the English one: xdotool
        # switches to the group that holds each character. (A character no layout holds it binds
        # to a spare key for a moment, and a client that reads the key after the binding is gone
        # sees no symbol, so every character typed here is on a layout.)
        harness.subprocess.run(["setxkbmap", "-layout", "us,ru,fr"], env=self.game.env, check=True)

    def test_names_in_any_script_are_stored_as_windows_1251(self):
        # Each row: what is typed, the keys pressed after it, the bytes stored.
        rows = [
            ("Петяz", ["BackSpace"], "Петя".encode("cp1251")),
            ("Ёжик ёq", ["Left"], "Ёжик ё".encode("cp1251")),
            ("éA", [], b"A"),  # Windows-1251 has no é: dropped, not stored as the "й" of its byte
            ("«Я» №1 x", [], "«Я» №1 x".encode("cp1251")),
            ("Tab\tme", [], b"Tabme"),  # Tab moves the focus; there is only the field to move to
        ]
        game = self.game.start()
        stored = []
        for typed, keys, expected in rows:
            with self.subTest(typed=typed):
                Pilot(game).wait_for_name_entry(60)
                game.type(typed)
                if keys:
                    game.key(*keys)
                game.key("Return")
                time.sleep(0.5)
                stored.append(expected)
                names = harness.highscore_names(game.file("h.bin"))
                self.assertEqual(sorted(n for n in names if n), sorted(stored))
                game.key("F2")  # the next game
        self.assertEqual(game.close(), 0, game.stderr())


class Wheel(harness.GameTestCase):
    def setUp(self):
        self.game = harness.Game(args=["-geometry", "400x400+0+0"])

    def roll(self, x, y, notches=3):
        """Every wheel: up, down, left and right (X buttons 4 to 7)."""
        self.game.xdotool("mousemove", "--window", self.game.window, x, y)
        for button in (4, 5, 6, 7):
            self.game.xdotool("click", "--repeat", notches, "--delay", 30, button)

    def test_the_wheel_presses_no_button(self):
        game = self.game.start()
        game.wait_loaded()
        width, height = game.geometry()
        help_button = interface_to_pixel(0.52, 0.81, width, height)
        help_text = interface_to_pixel(0.0, 0.0, width, height)  # the help's black text area
        # Over "Справка": the help does not open.
        self.roll(*interface_to_pixel(0.75, 0.85, width, height))
        time.sleep(0.3)
        shot = game.screenshot()
        self.assertTrue(greenish(shot.getpixel(help_button)), shot.getpixel(help_button))
        self.assertNotEqual(shot.getpixel(help_text), (0, 0, 0))
        # Over "Заново (F2)" for longer than an idle game lasts: it never restarts, so the game
        # still ends and the name entry shows.
        restart = interface_to_pixel(-0.65, 0.85, width, height)
        deadline = time.time() + 60
        while greenish(game.screenshot().getpixel(help_button)):
            self.assertLess(time.time(), deadline, "the wheel kept restarting the game")
            self.roll(*restart, notches=2)
        self.assertEqual(game.close(), 0, game.stderr())


if __name__ == "__main__":
    unittest.main()
