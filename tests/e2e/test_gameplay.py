"""The game is playable at its own window size: a player who touches nothing loses in a fixed
number of steps, one who steers for the stars he sees collects them and flies on for longer. The
players look at the real window (tests/e2e/pilot.py). Each game runs with --record, whose console
line "Game over at display N" gives its length in steps, whatever the machine's speed; the scores
are read back from "h.bin" after the name entry."""
import os
import re
import sys
import unittest

import harness
from pilot import Pilot


class Gameplay(unittest.TestCase):
    def setUp(self):
        self.games = []

    def tearDown(self):
        for game in self.games:
            game.stop()

    def play(self, aim, name):
        """One whole game flown as `aim` says; returns the steps it lasted and its score."""
        game = harness.Game()
        game.args = ["--record", os.path.join(game.workdir, "game.vrp")]
        self.games.append(game)
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        played = pilot.fly(800, aim)
        if played >= 800:  # still flying: let go, so the bubble ends the game
            played += pilot.fly(60, Pilot.IDLE)
        self.assertLess(played, 860, "the game did not end")
        end = re.search(r"Game over at display (\d+): \S+ with (\d+) stars", game.stdout())
        self.assertIsNotNone(end, game.stdout())
        game.type(name)
        game.key("Return")
        # The save follows the Enter as soon as the game reads it.
        harness.wait_until(lambda: name.encode() in dict(game.stored()), name + " never reached h.bin")
        scores = dict(game.stored())
        self.assertIn(name.encode(), scores)
        # A star that lands by the wreck after a crash still counts until the name is entered.
        self.assertGreaterEqual(scores[name.encode()], int(end.group(2)))
        game.stop()  # closing is tested elsewhere; here it would only slow a busy machine
        return int(end.group(1)) + 1, scores[name.encode()]

    def test_doing_nothing_loses_in_48_steps_and_steering_collects_stars_for_longer(self):
        idle_steps, idle_score = self.play(Pilot.IDLE, "Idle")
        # Without a star the bubble passes its limit in the 48th step, however slow the machine.
        self.assertEqual(idle_steps, 48)
        self.assertEqual(idle_score, 0)

        # The pilot answers each step's picture before the next step (tests/e2e/pilot.py), so
        # one game shows whether steering for the stars pays.
        steered_steps, steered_score = self.play(Pilot.STARS, "Pilot")
        self.assertGreaterEqual(steered_score, 2, "the steered game took %d stars" % steered_score)
        self.assertGreater(steered_steps, idle_steps, "the steered game lasted %d steps" % steered_steps)

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
