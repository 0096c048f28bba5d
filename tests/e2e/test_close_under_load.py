"""scripts/close-window under load: two busy loops beside the game, one close message, and the
game ends with status 0 within seconds, eight times in a row. A close tool that leaves before
the X server has taken its message loses about half of them here, so it passes eight rounds once
in some 250 runs; more rounds would only hold the busy loops longer against the tests beside it."""
import subprocess
import time
import unittest

import harness

ROUNDS = 8
ANSWER_SECONDS = 15


class CloseUnderLoad(unittest.TestCase):
    def setUp(self):
        self.busy = [subprocess.Popen(["yes"], stdout=subprocess.DEVNULL) for _ in range(2)]

    def tearDown(self):
        for process in self.busy:
            process.kill()
            process.wait()

    def test_one_close_is_always_answered(self):
        for round in range(ROUNDS):
            # The smallest details start the game soonest; the close does not depend on them.
            game = harness.Game(files={"config.txt": "10 2"}, args=["-geometry", "400x400+0+0"])
            try:
                game.start(timeout=120)
                game.wait_loaded(120)
                started = time.time()
                status = game.close(timeout=ANSWER_SECONDS)
                self.assertEqual(status, 0, "round %d: %s" % (round, game.stderr()))
                print("round %d: closed in %.2f s" % (round, time.time() - started))
            except subprocess.TimeoutExpired:
                self.fail("round %d: the close went unanswered for %d s" % (round, ANSWER_SECONDS))
            finally:
                game.stop()


if __name__ == "__main__":
    unittest.main()
