"""The game is playable at its own window size: a player who touches nothing loses within
seconds, one who steers for the stars he sees collects them and flies on for longer. The players
look at the real window (tests/e2e/pilot.py); the scores are read back from "h.bin" after the
name entry."""
import struct
import sys
import time
import unittest

import harness
from pilot import Pilot


def decode_highscores(data):
    plain = bytes(b ^ 0xFF for b in data)
    return [(plain[24 * i:24 * i + 20].split(b"\0", 1)[0], struct.unpack("<I", plain[24 * i + 20:24 * i + 24])[0])
            for i in range(10)]


class Gameplay(unittest.TestCase):
    def setUp(self):
        self.games = []

    def tearDown(self):
        for game in self.games:
            game.stop()

    def play(self, aim, name):
        """One whole game flown as `aim` says; returns the seconds it lasted and its score."""
        game = harness.Game()
        self.games.append(game)
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        played = pilot.fly(40, aim)
        if played >= 40:  # still flying: let go, so the bubble ends the game
            played += pilot.fly(20, Pilot.IDLE)
        self.assertLess(played, 60, "the game did not end")
        game.type(name)
        game.key("Return")
        time.sleep(0.5)
        scores = dict(decode_highscores(game.file("h.bin")))
        self.assertIn(name.encode(), scores)
        game.stop()  # closing is tested elsewhere; here it would only slow a busy machine
        return played, scores[name.encode()]

    def test_doing_nothing_loses_within_seconds_and_steering_collects_stars_for_longer(self):
        idle_time, idle_score = self.play(Pilot.IDLE, "Idle")
        # Without a star the bubble passes its limit in the 48th step: 2.4 s at full speed,
        # longer on a busy machine that draws fewer steps a second.
        self.assertLess(idle_time, 25)
        self.assertEqual(idle_score, 0)

        # The pilot judges from pictures a moment old and sometimes flies into rock while it
        # chases a star beside it; a player may have a bad game, so it gets three.
        games = []
        for attempt in range(3):
            steered_time, steered_score = self.play(Pilot.STARS, "Pilot%d" % attempt)
            games.append("%d stars in %.1f s" % (steered_score, steered_time))
            if steered_score >= 2 and steered_time > idle_time:
                return
        self.fail("no steered game took two stars and outlasted the idle one (%.1f s): %s" %
                  (idle_time, ", ".join(games)))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
