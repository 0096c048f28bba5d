"""A player who touches nothing loses within seconds: the real game at its own window size, the
end seen on the screen and the score read back from "h.bin" after the name entry."""
import struct
import sys
import time
import unittest

import harness


def decode_highscores(data):
    plain = bytes(b ^ 0xFF for b in data)
    return [(plain[24 * i:24 * i + 20].split(b"\0", 1)[0], struct.unpack("<I", plain[24 * i + 20:24 * i + 24])[0])
            for i in range(10)]


def interface_to_pixel(x, y, width, height):
    """Interface units (y up, shorter side -1..1) to window pixels."""
    m = min(width // 2, height // 2)
    return int(width // 2 + x * m), int(height // 2 - y * m)


def greenish(pixel):
    r, g, b = pixel
    return g > 60 and g > r + 30 and g > b + 30


class Player:
    """Looks at the window a few times a second."""

    def __init__(self, game):
        self.game = game
        self.width, self.height = game.geometry()
        self.help_button = interface_to_pixel(0.52, 0.81, self.width, self.height)  # off its text

    def grab(self):
        """The window's pixels straight from the X server: starting ImageMagick for every look
        would leave the player reacting seconds late."""
        from PIL import Image
        from Xlib import X, display
        if not hasattr(self, "display"):
            self.display = display.Display(self.game.x.display)
            window = self.display.create_resource_object("window", int(self.game.window))
            self.root = self.display.screen().root
            at = window.translate_coords(self.root, 0, 0)
            self.origin = (-at.x, -at.y) if at.x <= 0 and at.y <= 0 else (at.x, at.y)
        raw = self.root.get_image(self.origin[0], self.origin[1], self.width, self.height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (self.width, self.height), raw.data, "raw", "BGRX")

    def look(self):
        shot = self.grab()
        over = not greenish(shot.getpixel(self.help_button))
        return shot, over

    def wait_for_the_end(self, limit):
        """Watches until the game ends or `limit` seconds pass; returns the seconds waited."""
        start = time.time()
        while time.time() - start < limit:
            if self.look()[1]:
                return time.time() - start
            time.sleep(0.05)
        return time.time() - start

    def record(self, name):
        """Types the name into the name entry and returns the score stored with it."""
        self.game.type(name)
        self.game.key("Return")
        time.sleep(0.5)
        for entry, score in decode_highscores(self.game.file("h.bin")):
            if entry == name.encode():
                return score
        raise AssertionError("%s is not in h.bin" % name)


class Gameplay(unittest.TestCase):
    def setUp(self):
        self.game = harness.Game()

    def tearDown(self):
        self.game.stop()

    def start(self):
        game = self.game.start()
        player = Player(game)
        deadline = time.time() + 30
        while time.time() < deadline:  # the menu shows once the start-up has finished
            if not player.look()[1]:
                return player
            time.sleep(0.2)
        self.fail("the menu never showed")

    def test_a_player_who_does_nothing_loses_within_seconds(self):
        player = self.start()
        played = player.wait_for_the_end(limit=20)
        self.assertLess(played, 20, "the game did not end by itself")
        self.assertEqual(player.record("Idle"), 0)
        self.assertEqual(self.game.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
