"""The real game killed while it saves "h.bin", again and again: after the name entry's save and
during the save at exit, one game alone or two in one folder. The file must always be one whole
table, the old one or the new one.
A plain kill (SIGTERM) must end the game too."""
import random
import signal
import sys
import time
import unittest

import harness
import test_shared_highscores
from pilot import Pilot

OLD = test_shared_highscores.OLD  # two results, the rest empty


class KillDuringSave(harness.GameTestCase):
    def setUp(self):
        super().setUp()
        self.random = random.Random(10)

    def started(self):
        self.game = harness.Game(files={"h.bin": OLD}, args=["-geometry", "400x400+0+0"])
        game = self.game.start()
        game.wait_loaded(120)
        return game

    def kill_after(self, seconds):
        time.sleep(seconds)
        self.game.process.send_signal(signal.SIGKILL)
        self.game.process.wait(30)

    def stored(self):
        return self.game.file("h.bin")

    def finish(self):
        self.game.stop()
        self.game = None

    def test_killed_during_the_save_at_exit(self):
        # The close makes the game save the table it loaded: the file is that table whatever the
        # moment of the kill.
        for round in range(6):
            with self.subTest(round=round):
                game = self.started()
                time.sleep(0.5)
                game.ask_to_close()
                self.kill_after(self.random.uniform(0.0, 0.3))
                self.assertEqual(self.stored(), OLD)
                self.finish()

    def test_killed_during_the_save_after_a_name(self):
        for round in range(3):
            with self.subTest(round=round):
                game = self.started()
                Pilot(game).wait_for_name_entry(60)
                game.type("Killed")
                game.xdotool("key", "Return")
                self.kill_after(self.random.uniform(0.0, 0.15))
                data = self.stored()
                self.assertEqual(len(data), 240)
                # The result ranks third whatever it scored (the flight is too short for 50).
                names = harness.highscore_names(data)
                before = [b"Keeper", b"Second"] + [b""] * 8
                after = [b"Keeper", b"Second", b"Killed"] + [b""] * 7
                self.assertIn(names, (before, after))
                self.finish()

    def test_two_games_killed_during_their_saves_after_a_name(self):
        # Two games in one folder end, take a name each and are killed at random moments of
        # their saves: the file is always whole, and holds each name at most once.
        quick = dict(harness.QUICK, **{"h.bin": OLD})
        for round in range(3):
            with self.subTest(round=round):
                self.game = harness.Game(files=quick, args=["-geometry", "300x300+0+0", "--record", "a.vrp"])
                other = harness.Game(beside=self.game, tag="b-", args=["-geometry", "300x300+0+0", "--record", "b.vrp"])
                try:
                    games = (self.game.start(), other.start())
                    for game in games:
                        game.wait_output("Game over at display", timeout=120)
                    time.sleep(0.3)
                    for game, name in zip(games, ("KilledA", "KilledB")):
                        game.type(name)
                    for game in games:
                        game.xdotool("key", "--window", game.window, "Return")
                    time.sleep(self.random.uniform(0.0, 0.15))
                    for game in games:
                        game.process.send_signal(signal.SIGKILL)
                        game.process.wait(30)
                    data = self.stored()
                    self.assertEqual(len(data), 240)
                    names = harness.highscore_names(data)
                    self.assertEqual(names[:2], [b"Keeper", b"Second"])
                    rest = [name for name in names[2:] if name]
                    self.assertLessEqual(set(rest), {b"KilledA", b"KilledB"})
                    self.assertEqual(len(rest), len(set(rest)))
                finally:
                    other.stop()
                self.finish()

    def test_a_plain_kill_ends_the_game(self):
        game = self.started()
        game.process.send_signal(signal.SIGTERM)
        self.assertEqual(game.wait(20), -signal.SIGTERM)
        self.assertEqual(self.stored(), OLD)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
