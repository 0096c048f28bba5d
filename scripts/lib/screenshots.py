"""Plays the real game on a private X server and saves three moments of it as PNGs in the folder
given: the menu over the scene right after the start, the mirroring ship in flight among the
mountains just after it took a star, and the blast of a crash. The flying is done by the
end-to-end tests' pilot, which reads the window. Used by scripts/screenshots."""
import os
import sys
import time

import harness
from pilot import Pilot, interface_to_pixel


# The window at its own size in the screen's corner: GLUT's default place, (-1, -1), would leave a
# black row and column where the window is off the screen.
GEOMETRY = ["-geometry", "800x600+0+0"]


def fire(pixel):
    r, g, b = pixel
    return r > 200 and 90 < g < 230 and b < 90


def save(picture, folder, name):
    path = os.path.join(folder, name)
    picture.save(path, optimize=True)
    print("screenshots: wrote %s (%d bytes)" % (path, os.path.getsize(path)))


def menu_and_flight(folder):
    game = harness.Game(args=GEOMETRY)
    try:
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        time.sleep(0.5)
        save(game.grab(), folder, "menu.png")

        # Fly for the stars; take the first picture whose bar is short again after it was long
        # in this game: a star was just taken and the bubble is small around the ship. (A slow
        # machine draws few steps a second, so a bar still short from the start proves nothing.)
        width, height = pilot.width, pilot.height
        bar = interface_to_pixel(-0.6, 0.65, width, height)
        bar_start = interface_to_pixel(-0.88, 0.65, width, height)
        start = time.time()
        grown = False  # the bar has reached past `bar` in this game
        while time.time() - start < 90:
            if pilot.fly(6, Pilot.STARS) < 6:  # crashed or timed out: a new game
                game.key("F2")
                pilot.wait_for_menu()
                grown = False
                continue
            shot = game.grab()
            # The bar's blue start shows while the game runs; once the bubble has timed out the
            # bar is gone altogether, which is no short bar.
            running = shot.getpixel(bar_start)[2] > 90
            long_bar = shot.getpixel(bar)[2] >= 60
            if running and grown and not long_bar:
                save(shot, folder, "flight.png")
                return
            grown = grown or (running and long_bar)
        raise RuntimeError("no star taken in a minute and a half of flight")
    finally:
        game.stop()


def blast(folder):
    game = harness.Game(args=GEOMETRY)
    try:
        pilot = Pilot(game.start())
        pilot.wait_for_menu()
        pilot.fly(600, Pilot.ROCK)  # ends with the crash
        # The blast grows for ten steps; keep the picture with the most fire in the middle.
        best, most = None, 0
        deadline = time.time() + 5
        while time.time() < deadline:
            shot = game.grab()
            small = shot.resize((pilot.width // 4, pilot.height // 4))
            w, h = small.size
            count = sum(fire(small.getpixel((x, y))) for x in range(w // 4, 3 * w // 4) for y in range(h // 4, 3 * h // 4))
            if count > most:
                best, most = shot, count
            elif most and count < most / 2:
                break
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
