"""The command line, full screen, the larger text and English against the real game."""
import os
import subprocess
import sys
import unittest

import harness



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
            status, _, err = run(["--replay", "nosuch.vrp"], env, cwd=harness.DATA_DIR)
            self.assertEqual((status, err), (1, 'velmo: cannot read the replay "nosuch.vrp": No such file or directory\n'))
            # A usage error shows the usage.
            status, _, err = run(["--ui-scale", "9"], env, cwd=harness.DATA_DIR)
            self.assertEqual(status, 1)
            self.assertTrue(err.startswith('velmo: --ui-scale wants a whole number from 1 to 8 or auto, not "9"\nusage:'),
                            err)
            status, out, err = run(["-geometry", "200x200+0+0", "--replay", harness.BENCH_REPLAY, "--replay-speed", "0",
                                    "--replay-exit"], env, cwd=harness.DATA_DIR)
            self.assertEqual((status, err), (0, ""))
            self.assertTrue(out.endswith("Replay finished at display 228: the game is yours\n"), out)
        finally:
            x.stop()


def in_text_cell(pixel):
    """The font's cells are opaque: pure black with pure green ink, which the translucent widgets
    never give, whatever the scene behind them (over black, a button is half green)."""
    return pixel in ((0, 0, 0), (0, 255, 0))


def text_rows(picture, left, right, top, bottom):
    """Rows of the box that hold a line of text."""
    return [y for y in range(top, bottom) if sum(in_text_cell(picture.getpixel((x, y))) for x in range(left, right)) > 20]


def text_width(picture, left, right, y):
    """The longest run of text-cell pixels along row y: the number of characters times the cell."""
    longest = run_length = 0
    for x in range(left, right):
        run_length = run_length + 1 if in_text_cell(picture.getpixel((x, y))) else 0
        longest = max(longest, run_length)
    return longest


class Screen(harness.GameTestCase):
    def wait_size(self, size, failure):
        harness.wait_until(lambda: self.game.geometry() == size, failure, 15)

    def test_full_screen_at_start_and_with_f11(self):
        self.game = harness.Game(size="1024x768", args=["--fullscreen"])
        game = self.game.start()
        game.wait_loaded()
        self.wait_size((1024, 768), "--fullscreen does not fill the screen")

        def drawn_to_the_edges():
            shot = game.grab()
            return (any(shot.getpixel((1023, y)) != (0, 0, 0) for y in range(0, 768, 8)) and
                    any(shot.getpixel((x, 767)) != (0, 0, 0) for x in range(0, 1024, 8)))
        harness.wait_until(drawn_to_the_edges, "the picture does not reach the last column and row", 15)
        game.key("F11")
        self.wait_size((800, 600), "F11 does not leave full screen")
        game.key("F11")
        self.wait_size((1024, 768), "F11 does not fill the screen")
        self.assertEqual(game.close(), 0, game.stderr())

    def test_twice_as_large_english_text_and_clicks_on_it(self):
        self.game = harness.Game(args=["-geometry", "800x600+0+0", "--ui-scale", "2", "--lang", "en"])
        game = self.game.start()
        game.wait_loaded()
        # The menu's buttons span pixels 130..280 and 550..700 from row 30 to 60. Each glyph is 16
        # pixels high, so "Restart F2" breaks after its first word and shows 7 cells, "Help" 4.
        def menu_over_the_scene():  # until the first display the window is black, like a text cell
            shot = game.grab()
            return any(shot.getpixel((x, 5)) != (0, 0, 0) for x in range(0, 800, 20)) and text_rows(shot, 130, 280, 28, 62)
        harness.wait_until(menu_over_the_scene, "no menu over the scene", 15)
        shot = game.grab()
        rows = text_rows(shot, 130, 280, 28, 62)
        self.assertEqual(len(rows), 16, rows)
        self.assertEqual(rows[-1] - rows[0], 15, rows)
        middle = rows[8]
        self.assertEqual(text_width(shot, 130, 280, middle), 7 * 16)
        self.assertEqual(text_width(shot, 550, 700, middle), 4 * 16)

        # "Help" opens the help, whose bottom-right cell, 16 pixels square now, scrolls it: a click
        # 12 pixels inside the corner reaches it only when the cell has grown with the text.
        game.click(625, 45)
        text = (266, 166, 534, 250)
        harness.wait_until(lambda: not text_rows(game.grab(), 130, 280, 28, 62) and
                           text_rows(game.grab(), 266, 534, 166, 250), "the help button was not pressed", 15)
        before = game.grab().crop(text).tobytes()
        game.click(538, 438)
        harness.wait_until(lambda: game.grab().crop(text).tobytes() != before,
                           "a click in the scaled scroll cell did not scroll the help", 15)
        self.assertEqual(game.close(), 0, game.stderr())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
