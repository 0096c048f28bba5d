"""Pause with the real game: P holds the flight and the bubble while the picture goes on being
drawn, with "Пауза" in the game's font, and P again lets them go on; in the name field P is a
letter; a recording with a pause replays exactly, in the game and in velmo-check-replay."""
import re
import sys
import time
import unittest

import harness
from pilot import interface_to_pixel
from test_replay import checked_game_overs, game_overs, replayed_game_overs


def label_shown(shot):
    """Whether the pause label's cells show: the font's green ink on black, a little above the
    window's middle, where the scene has neither."""
    width, height = shot.size
    left, top = interface_to_pixel(-0.15, 0.32, width, height)
    right, bottom = interface_to_pixel(0.15, 0.24, width, height)
    ink = sum(1 for x in range(left, right) for y in range(top, bottom) if shot.getpixel((x, y)) == (0, 255, 0))
    return ink >= 20


class Pause(unittest.TestCase):
    def test_p_holds_the_game_and_a_paused_recording_replays_exactly(self):
        game, path = harness.start_recording(self, "paused.vrp", 400)
        # The window shows before start-up has chosen the keys it reads; an idle game then times
        # out 2.4 s after it starts, so P goes at once after the loading.
        game.wait_loaded()
        game.key("p")
        harness.wait_until(lambda: label_shown(game.grab()), "no pause label", interval=0.05)
        held = game.grab().tobytes()
        time.sleep(3.0)  # longer than a whole idle game
        self.assertEqual(game.grab().tobytes(), held, "the picture moved while paused")
        self.assertNotIn("Game over", game.stdout())

        game.key("p")
        self.assertTrue(game.changes_within(held, 10), "the game did not go on")
        self.assertFalse(label_shown(game.grab()))
        game.wait_output("Game over", 30)
        ended = game_overs(game.stdout())
        display = int(re.match(r"Game over at display (\d+): time-out with 0 stars$", ended[0]).group(1))
        self.assertGreater(display, 47 + 20, "the paused displays held no step")

        time.sleep(0.3)
        game.type("Pilot")  # P is a letter in the name field
        time.sleep(0.3)
        self.assertFalse(label_shown(game.grab()))
        game.key("Return")
        harness.wait_until(lambda: b"Pilot" in dict(game.stored()), "Pilot never reached h.bin", 10)
        self.assertEqual(game.stored()[0], (b"Pilot", 0))
        self.assertEqual(game.close(), 0, game.stderr())
        with open(path, "rb") as f:
            recording = f.read()

        self.assertEqual(replayed_game_overs(self, recording), ended)
        self.assertEqual(checked_game_overs(recording), ended)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
