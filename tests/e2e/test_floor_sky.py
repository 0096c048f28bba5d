"""The floor and the sky box in the real game: start-up failures for a driver without the floor's
extensions or with damaged sky faces, the sky's tint on screen and the start-up console."""
import os
import re
import sys
import time
import unittest

import harness

STAMP = r" \[  OK  \] \w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\n"
FACE_BYTES = 512 * 512 * 3
SKY_FILES = ["f.raw", "b.raw", "l.raw", "r.raw", "o.raw", "earth.raw"]


def settled_screenshot(game, timeout=20):
    """A screenshot once the game has drawn its scene: the floor at the bottom is no longer black."""
    deadline = time.time() + timeout
    while True:
        shot = game.screenshot()
        width, height = shot.size
        if any(shot.getpixel((x, height - 4)) != (0, 0, 0) for x in range(0, width, 8)) or time.time() > deadline:
            return shot
        time.sleep(0.2)


class FloorAndSky(harness.GameTestCase):
    def test_missing_floor_extension_ends_after_the_progress_line(self):
        self.assertTrue(os.path.exists(harness.HIDE_LIBRARY), harness.HIDE_LIBRARY)
        for extension, text in [("GL_ARB_texture_env_dot3", "ARB_texture_env_dot3 NOT supported.\n"),
                                ("GL_ARB_texture_env_combine", "ARB_texture_env_combine NOT supported.\n"),
                                ("GL_ARB_texture_cube_map", "ARB_texture_cube_map NOT supported.\n")]:
            with self.subTest(extension=extension):
                game = self.run_failing(extra_env={"LD_PRELOAD": harness.HIDE_LIBRARY, "VELMO_HIDE_GL_EXTENSION": extension})
                self.assertRegex(game.stdout(), r"\nInitializing floor\.\.\." + STAMP + re.escape(text) + r"\Z")
                self.assertNotIn("Loading vorizozadi", game.stdout())  # the ship never loads
                self.assertEqual(game.stderr(), "A error detected")
                self.game.stop()
                self.game = None

    def test_missing_left_face_stops_after_front_and_back(self):
        game = self.run_failing(remove=["sky/l.raw"])
        self.assertEqual(game.stderr(), "Error loading left texture=n\nvelmo: sky/l.raw: No such file or directory\n")
        self.assertNotIn("Initializing floor", game.stdout())

    def test_front_face_one_byte_short_fails_and_a_longer_one_loads(self):
        game = self.run_failing(files={"sky/f.raw": bytes(FACE_BYTES - 1)})
        self.assertEqual(game.stderr(), "Error loading front texture\nvelmo: sky/f.raw: holds 786431 bytes; a face is 786432\n")
        self.game.stop()

        self.game = harness.Game(files={"sky/f.raw": bytes(FACE_BYTES + 1000)})
        game = self.game.start()
        settled_screenshot(game)
        self.assertEqual(game.close(), 0)
        self.assertIn("Initializing floor...", game.stdout())
        self.assertNotIn("Error", game.stderr())

    def test_sky_is_tinted_orange_and_pure_blue_shows_black(self):
        self.game = harness.Game()
        game = self.game.start()
        normal = settled_screenshot(game)
        self.assertEqual(game.close(), 0)
        self.game.stop()

        blue = bytes([0, 0, 255]) * (512 * 512)
        self.game = harness.Game(files={"sky/" + name: blue for name in SKY_FILES})
        game = self.game.start()
        dark = settled_screenshot(game)
        self.assertEqual(game.close(), 0)

        # The top rows of the window hold only sky.
        width, _ = normal.size
        rows = [(x, y) for y in range(0, 12, 3) for x in range(0, width, 16)]
        for x, y in rows:
            r, g, b = normal.getpixel((x, y))
            self.assertEqual(b, 0, (x, y))
            self.assertLessEqual(g, r // 2 + 1, (x, y))
            self.assertEqual(dark.getpixel((x, y)), (0, 0, 0), (x, y))
        self.assertGreater(max(normal.getpixel(p)[0] for p in rows), 40)

    def test_start_up_console_in_order(self):
        self.game = harness.Game()
        game = self.game.start()
        settled_screenshot(game)
        self.assertEqual(game.close(), 0)
        lines = game.stdout().split("\n")
        self.assertEqual(lines[-1], "")
        lines = lines[:-1]
        self.assertRegex(lines[0], r"^Vendor:   \S")
        self.assertRegex(lines[1], r"^Renderer: \S")
        self.assertRegex(lines[2], r"^Version:  \S")
        progress = ["Initializing floor...", "Initializing stars...", "Initializeing cube map...",
                    "Loading vorizozadi...", "Loading landscapes.", "Loading mountain4...", "Loading mountain5..."]
        self.assertEqual(len(lines), 3 + len(progress), game.stdout())
        for line, text in zip(lines[3:], progress):
            if text == "Loading landscapes.":
                self.assertEqual(line, text)  # the one progress line without a stamp
            else:
                self.assertRegex(line + "\n", "^" + re.escape(text) + STAMP + r"\Z")
        self.assertEqual(game.stderr(), "")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
