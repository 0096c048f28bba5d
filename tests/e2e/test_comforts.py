"""The command line, full screen, the larger text and English against the real game."""
import os
import subprocess
import sys
import time
import unittest

import harness

BENCH_REPLAY = os.path.join(harness.SOURCE_DIR, "tools", "bench", "flight.vrp")


def run(args, env, cwd=None):
    done = subprocess.run([harness.BINARY] + args, env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True, timeout=120)
    return done.returncode, done.stdout, done.stderr


class CommandLine(unittest.TestCase):
    def test_answers_without_a_window(self):
        bare = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        status, out, err = run(["-h"], bare)
        self.assertEqual((status, err), (0, ""))
        for listed in ["--record", "--replay-exit", "--fullscreen", "--ui-scale", "--lang", "--no-antialiasing",
                       "--version", "F2", "F11", "Tab", "config.txt", "h.bin", ".local/share/velmo"]:
            self.assertIn(listed, out)
        # Without a display: one line of our own, not GLUT's, and status 1.
        self.assertEqual(run([], bare)[::2], (1, "velmo: cannot open a window: no display is set (DISPLAY is empty)\n"))

    def test_file_problems_take_one_line_and_a_replay_can_end_the_game(self):
        x = harness.XServer()
        try:
            env = dict(os.environ, DISPLAY=x.display, SDL_AUDIODRIVER="dummy")
            status, _, err = run(["--replay", "nosuch.vrp"], env, cwd=harness.RUN_DIR)
            self.assertEqual((status, err), (1, 'velmo: cannot read the replay "nosuch.vrp": No such file or directory\n'))
            # A usage error shows the usage.
            status, _, err = run(["--ui-scale", "9"], env, cwd=harness.RUN_DIR)
            self.assertEqual(status, 1)
            self.assertTrue(err.startswith('velmo: --ui-scale wants a whole number from 1 to 8 or auto, not "9"\nusage:'),
                            err)
            status, out, err = run(["-geometry", "200x200+0+0", "--replay", BENCH_REPLAY, "--replay-speed", "0",
                                    "--replay-exit"], env, cwd=harness.RUN_DIR)
            self.assertEqual((status, err), (0, ""))
            self.assertTrue(out.endswith("Replay finished at display 228: the game is yours\n"), out)
        finally:
            x.stop()


def text_rows(picture, left, right, top, bottom):
    """Rows of the box that hold a line of text: the font's cells are opaque green on black, so
    their pixels have no red and no blue, which the translucent widgets over the scene never give."""
    rows = []
    for y in range(top, bottom):
        cells = sum(1 for x in range(left, right) if picture.getpixel((x, y))[0] == 0 and picture.getpixel((x, y))[2] == 0)
        if cells > 20:
            rows.append(y)
    return rows


def text_width(picture, left, right, y):
    """The longest run of text-cell pixels along row y: the number of characters times the cell."""
    longest = run_length = 0
    for x in range(left, right):
        r, _, b = picture.getpixel((x, y))
        run_length = run_length + 1 if r == 0 and b == 0 else 0
        longest = max(longest, run_length)
    return longest


class Screen(unittest.TestCase):
    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.stop()

    def wait_size(self, size, failure, timeout=15):
        deadline = time.time() + timeout
        while self.game.geometry() != size:
            self.assertLess(time.time(), deadline, "%s: %s" % (failure, self.game.geometry()))
            time.sleep(0.1)

    def test_full_screen_at_start_and_with_f11(self):
        self.game = harness.Game(size="1024x768", args=["--fullscreen"])
        game = self.game.start()
        game.wait_output("Loading mountain5... [  OK  ]")
        self.wait_size((1024, 768), "--fullscreen does not fill the screen")
        time.sleep(0.5)
        shot = game.grab()  # the picture reaches the last column and the last row
        self.assertTrue(any(shot.getpixel((1023, y)) != (0, 0, 0) for y in range(0, 768, 8)))
        self.assertTrue(any(shot.getpixel((x, 767)) != (0, 0, 0) for x in range(0, 1024, 8)))
        game.key("F11")
        self.wait_size((800, 600), "F11 does not leave full screen")
        game.key("F11")
        self.wait_size((1024, 768), "F11 does not fill the screen")
        self.assertEqual(game.close(), 0, game.stderr())

    def test_twice_as_large_english_text_and_clicks_on_it(self):
        self.game = harness.Game(args=["-geometry", "800x600+0+0", "--ui-scale", "2", "--lang", "en"])
        game = self.game.start()
        game.wait_output("Loading mountain5... [  OK  ]")
        time.sleep(0.5)
        shot = game.grab()
        # The menu's buttons span pixels 130..280 and 550..700 from row 30 to 60. Each glyph is 16
        # pixels high, so "Restart F2" breaks after its first word and shows 7 cells, "Help" 4.
        rows = text_rows(shot, 130, 280, 28, 62)
        self.assertEqual(len(rows), 16, rows)
        self.assertEqual(rows[-1] - rows[0], 15, rows)
        middle = rows[8]
        self.assertEqual(text_width(shot, 130, 280, middle), 7 * 16)
        self.assertEqual(text_width(shot, 550, 700, middle), 4 * 16)

        # "Help" opens the help, whose bottom-right cell, 16 pixels square now, scrolls it: a click
        # 12 pixels inside the corner reaches it only when the cell has grown with the text.
        game.click(625, 45)
        deadline = time.time() + 10
        while len(text_rows(game.grab(), 130, 280, 28, 62)) > 0:
            self.assertLess(time.time(), deadline, "the help button was not pressed")
            time.sleep(0.1)
        time.sleep(0.3)
        text = (266, 166, 534, 250)
        before = game.grab().crop(text).tobytes()
        game.click(538, 438)
        deadline = time.time() + 10
        while game.grab().crop(text).tobytes() == before:
            self.assertLess(time.time(), deadline, "a click in the scaled scroll cell did not scroll the help")
            time.sleep(0.1)
        self.assertEqual(game.close(), 0, game.stderr())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
