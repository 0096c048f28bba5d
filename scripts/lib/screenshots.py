"""Plays the real game on a private X server and saves three moments of it as PNGs in the folder
given: the menu over the scene right after the start, the mirroring ship in flight among the
mountains as it closes on a star, and the fire ball of a crash. The flying is done by the
end-to-end tests' pilot, which reads the window. Used by scripts/screenshots."""
import os
import sys
import time

import harness
from pilot import Pilot, interface_to_pixel, star_glow


# The window at its own size in the screen's corner: GLUT's default place, (-1, -1), would leave a
# black row and column where the window is off the screen.
GEOMETRY = ["-geometry", "800x600+0+0"]


def fire(pixel):
    r, g, b = pixel
    return r > 200 and 90 < g < 230 and b < 90


def glow_in_view(shot):
    """How many pixels of the lower middle of the window show a star's glow."""
    w, h = shot.size
    small = shot.resize((w // 4, h // 4))
    sw, sh = small.size
    pixels = small.load()
    return sum(star_glow(pixels[x, y]) for x in range(sw // 5, 4 * sw // 5) for y in range(sh // 2, sh))


def save(picture, folder, name):
    path = os.path.join(folder, name)
    picture.save(path, optimize=True)
    print("screenshots: wrote %s (%d bytes)" % (path, os.path.getsize(path)))


def menu_and_flight(folder):
    game = harness.Game(args=GEOMETRY)
    try:
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        save(game.grab(), folder, "menu.png")

        # Fly for the stars and keep, of the steps before a star is taken, the one where its glow
        # is largest in view: the goal just ahead of the ship. A star is taken when the bar is
        # short again after it was long in this game. (A slow machine draws few steps a second,
        # so a bar still short from the start proves nothing.)
        width, height = pilot.width, pilot.height
        bar = interface_to_pixel(-0.6, 0.65, width, height)
        bar_start = interface_to_pixel(-0.88, 0.65, width, height)
        start = time.time()
        best, most = None, 0  # the picture with the most glow while the bar was long in this game
        while time.time() - start < 90:
            if pilot.fly(2, Pilot.STARS) < 2:  # crashed or timed out: a new game
                game.key("F2")
                pilot.wait_for_menu()
                best, most = None, 0
                continue
            shot = game.grab()
            # The bar's blue start shows while the game runs; once the bubble has timed out the
            # bar is gone altogether, which is no short bar.
            running = shot.getpixel(bar_start)[2] > 90
            long_bar = shot.getpixel(bar)[2] >= 60
            if running and not long_bar and best is not None:
                save(best, folder, "flight.png")
                return
            if running and long_bar:
                glow = glow_in_view(shot)
                if glow > most:
                    best, most = shot, glow
        raise RuntimeError("no star taken in a minute and a half of flight")
    finally:
        game.stop()


# The ring round the blast is drawn flat in the fire's mean colour.
RING = (243, 108, 9)


def blast(folder):
    game = harness.Game(args=GEOMETRY)
    try:
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        pilot.fly(600, Pilot.ROCK)  # ends with the crash
        # The fireball grows for ten steps and its flat ring spreads under it. Look at every step
        # (the game held still while it is looked at) and keep the one with the most fire before
        # the ring has spread: the ball itself at its largest.
        best, most = None, 0
        for step in range(20):
            game.pause()
            try:
                shot = game.grab()
            finally:
                game.resume()
            small = shot.resize((pilot.width // 4, pilot.height // 4))
            w, h = small.size
            count = sum(fire(small.getpixel((x, y))) for x in range(w // 4, 3 * w // 4) for y in range(h // 4, 3 * h // 4))
            ring = sum(pixel == RING for pixel in shot.getdata())
            if ring < shot.size[0] * shot.size[1] // 200 and count > most:
                best, most = shot, count
            if not game.changes_within(shot.tobytes(), 5):
                break  # the blast has grown and the picture holds still
        if best is None:
            raise RuntimeError("no blast to be seen")
        save(best, folder, "blast.png")
    finally:
        game.stop()


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "docs"
    os.makedirs(folder, exist_ok=True)
    menu_and_flight(folder)
    blast(folder)


if __name__ == "__main__":
    main()
