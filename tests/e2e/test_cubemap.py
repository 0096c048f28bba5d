"""The environment cube map in the real game: a missing ship ends the start-up (a driver without
cube maps ends it sooner, at the floor: test_floor_sky.py), and the ship mirrors the world around
it (a ball-shaped test ship whose top half shows the sky: changing only the sky faces changes it,
while the floor around it stays)."""
import os
import struct
import sys
import time
import unittest

import harness
from test_floor_sky import SKY_FILES, STAMP

SIZE = 300  # the window's side, pixels


def ball_ship(radius=2.5):
    """A one-part ship: a white ball of the given radius (an empty sphere pushed out from its centre)."""
    record = b"e2e_ball"
    model = b"C3DOBJECT" + struct.pack("<i", len(record)) + record + struct.pack("<fI", 1.0, 0)
    recording = struct.pack("<i", 0) + struct.pack("<i4f", 0, 0.0, 0.0, 0.0, radius)
    return {"vorizozadi1": model, "e2e_ball/files.txt": b"ball", "e2e_ball/ball": recording}


def ship_box(width, height):
    """The window area around the ship, 20 ahead of and 7 below the eye, under the horizon."""
    half = min(width, height) / 2
    cx, cy = width / 2, height / 2 + 7 / 20 * half
    r = 3.5 / 20 * half  # a bit more than the ball's radius at its distance
    return int(cx - r), int(cy - r), int(cx + r), int(cy + r)


def differing(a, b, box, threshold=24):
    x0, y0, x1, y1 = box
    return [(x, y) for y in range(y0, y1) for x in range(x0, x1)
            if max(abs(p - q) for p, q in zip(a.getpixel((x, y)), b.getpixel((x, y)))) > threshold]


class CubeMap(harness.GameTestCase):
    def still_screenshot(self, game, box, timeout=60):
        """A screenshot once the ship stands still after its time-out: four alike in a row over
        1.5 seconds, so that a step slowed down by a busy machine is not taken for the end."""
        # The window shows before the data is loaded; a slow (sanitized) build keeps it blank long
        # enough for two alike shots.
        game.wait_loaded(timeout)
        deadline = time.time() + timeout
        previous = game.screenshot()
        alike = 0
        while time.time() < deadline:
            time.sleep(0.5)
            shot = game.screenshot()
            width, height = shot.size
            if any(differing(previous, shot, area, threshold=0) for area in (box, (0, height - 40, width, height))):
                alike = 0
            else:
                alike += 1
                if alike == 3:
                    return shot
            previous = shot
        self.fail("the picture never stood still")

    def test_a_missing_ship_ends_the_start_up_after_its_progress_text(self):
        game = self.run_failing(remove=["vorizozadi1"])
        self.assertRegex(game.stdout(), r"\nInitializeing cube map\.\.\." + STAMP + r"Loading vorizozadi\.\.\.\Z")
        self.assertEqual(game.stderr(), "A error detected\nvelmo: vorizozadi1: No such file or directory\n")

    def test_the_ship_mirrors_the_sky_above_the_floor(self):
        self.check_mirror({})

    def test_without_frame_buffer_objects_the_ship_still_mirrors_the_sky(self):
        """The face views then go through the window's corner."""
        self.assertTrue(os.path.exists(harness.HIDE_LIBRARY), harness.HIDE_LIBRARY)
        self.check_mirror({"LD_PRELOAD": harness.HIDE_LIBRARY,
                           "VELMO_HIDE_GL_EXTENSION": "GL_ARB_framebuffer_object GL_EXT_framebuffer_object"})

    def check_mirror(self, env):
        geometry = ["-geometry", "%dx%d+0+0" % (SIZE, SIZE)]
        self.game = harness.Game(files=ball_ship(), args=geometry, extra_env=env)
        game = self.game.start()
        box = ship_box(*game.geometry())
        normal = self.still_screenshot(game, box)
        self.assertEqual(game.stderr(), "")
        self.game.stop()  # the pictures are what count here, not the way out

        # Pure blue sky faces show black under the sky's tint; nothing else in the world changes.
        blue = bytes([0, 0, 255]) * (512 * 512)
        files = dict(ball_ship(), **{"sky/" + name: blue for name in SKY_FILES})
        self.game = harness.Game(files=files, args=geometry, extra_env=env)
        game = self.game.start()
        dark = self.still_screenshot(game, box)
        self.assertEqual(game.stderr(), "")

        width, height = normal.size
        # The floor near the bottom of the window is the same in both.
        self.assertEqual(differing(normal, dark, (0, height - 40, width, height)), [])
        # The ball changed: its top mirrored the orange sky and now mirrors black.
        changed = differing(normal, dark, box)
        x0, y0, x1, y1 = box
        self.assertGreater(len(changed), (x1 - x0) * (y1 - y0) // 8, box)
        for x, y in changed:
            r, g, b = normal.getpixel((x, y))
            self.assertGreaterEqual(r, g, (x, y))
            self.assertGreaterEqual(g, b, (x, y))
        # Its lower half still mirrors the floor, which is not black.
        floor_part = [(x, y) for y in range((y0 + y1) // 2 + 2, y1 - 2) for x in range(x0 + 4, x1 - 4)
                      if (x, y) not in set(changed)]
        self.assertTrue(any(sum(dark.getpixel(p)) > 60 for p in floor_part))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
