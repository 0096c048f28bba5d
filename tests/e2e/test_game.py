"""A whole game with the real program: it ends by itself, the name goes into "h.bin", the list
shows and OK returns to the menu; F2 during the name entry drops the result."""
import sys
import time
import unittest

import harness
from pilot import Pilot, greenish, interface_to_pixel


class Game(harness.GameTestCase):
    def setUp(self):
        self.game = harness.Game(args=["-geometry", "400x400+0+0"])

    def test_a_game_ends_and_its_result_is_stored(self):
        game = self.game.start()
        width, height = game.geometry()
        Pilot(game).wait_for_name_entry()  # idle: a time-out after 48 steps, or a crash sooner
        game.type("Pilot")
        game.key("Return")
        time.sleep(0.5)
        names = harness.highscore_names(game.file("h.bin"))
        self.assertIn(b"Pilot", names)
        rank = names.index(b"Pilot")
        # The other nine are empty, so the result ranks first whatever it scored.
        self.assertEqual(rank, 0)

        # The list's OK button (x -0.5..0.5, y -0.8..-0.6) leads back to the menu.
        shot = game.screenshot()
        ok = interface_to_pixel(-0.4, -0.7, width, height)  # beside the text's black cells
        self.assertTrue(greenish(shot.getpixel(ok)), shot.getpixel(ok))
        game.click(*ok)
        time.sleep(0.5)
        shot = game.screenshot()
        menu = interface_to_pixel(-0.88, 0.81, width, height)  # inside "Заново (F2)", off its text
        self.assertTrue(greenish(shot.getpixel(menu)), shot.getpixel(menu))
        self.assertFalse(greenish(shot.getpixel(ok)), shot.getpixel(ok))
        self.assertEqual(game.close(), 0)
        self.assertEqual(len(game.file("h.bin")), 240)

    def test_f2_during_the_name_entry_drops_the_result(self):
        game = self.game.start()
        Pilot(game).wait_for_name_entry()  # idle: a time-out after 48 steps, or a crash sooner
        game.key("F2")
        game.type("Ghost")
        game.key("Return")
        time.sleep(0.3)
        self.assertEqual(game.close(), 0)
        names = harness.highscore_names(game.file("h.bin"))
        self.assertNotIn(b"Ghost", names)
        self.assertEqual(names, [b""] * 10)


class SoundSwitch(harness.GameTestCase):
    """The sound switch of config.txt, against an audio driver that cannot open."""

    def play_to_the_end(self, config):
        self.game = harness.Game(files={"config.txt": config}, extra_env={"SDL_AUDIODRIVER": "nosuchdriver"},
                                 args=["-geometry", "400x400+0+0"])
        game = self.game.start()
        Pilot(game).wait_for_name_entry()
        self.assertEqual(game.close(), 0)
        return game.stderr()

    def test_switched_off_never_opens_the_device(self):
        self.assertEqual(self.play_to_the_end("20 50 0"), "")

    def test_no_device_is_one_line_and_the_game_goes_on(self):
        printed = self.play_to_the_end("20 50 1")
        self.assertEqual(printed.count("No audio device"), 1, printed)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
