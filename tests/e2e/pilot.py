"""A player that flies the real game by looking at its window: it sees the rock that rises above
the horizon and the glow of the stars below it, and presses Left or Right. The camera looks level,
so the horizon is the window's middle row; the ship and its bubble sit below the middle."""
import time

import harness


def interface_to_pixel(x, y, width, height):
    """Interface units (y up, shorter side -1..1) to window pixels."""
    m = min(width // 2, height // 2)
    return int(width // 2 + x * m), int(height // 2 - y * m)


def greenish(pixel):
    r, g, b = pixel
    return g > 60 and g > r + 30 and g > b + 30


def sky(pixel):
    """The sky's orange and brown; everything else above the horizon is a mountain or a star."""
    r, g, b = pixel
    return r > g + 25 and r > b + 40


def star_glow(pixel):
    """The stars' pale blue glow over the floor or the rock; the bubble's faint tint is not."""
    r, g, b = pixel
    return b > 120 and b > r + 35 and b > g + 35


class Pilot:
    SCALE = 4  # the window is read at a quarter of its size

    def __init__(self, game, between_steps=True):
        """between_steps=False stops the game with SIGSTOP wherever it is instead of holding it
        between two steps: for a game under Wine, whose loop waits elsewhere than in select."""
        self.game = game
        self.between_steps = between_steps
        self.width, self.height = game.geometry()
        self.help_button = interface_to_pixel(0.52, 0.81, self.width, self.height)  # off its text

    def look(self):
        """The window as a small picture, and whether the game has ended: the name entry has
        replaced the menu, whose help button is gone."""
        shot = self.game.grab()
        self.last_look = shot.tobytes()
        over = not greenish(shot.getpixel(self.help_button))
        return shot.resize((self.width // self.SCALE, self.height // self.SCALE)), over

    def wait_for_menu(self, timeout=30):
        harness.wait_until(lambda: not self.look()[1], "the menu never showed", timeout)

    def wait_for_name_entry(self, timeout=30):
        """Waits for the game's end: the name entry replaces the menu, which shows first (a window
        not drawn yet has no help button either)."""
        self.wait_for_menu(timeout)
        harness.wait_until(lambda: self.look()[1], "the game did not end within %s s" % timeout, timeout)
        time.sleep(0.3)

    @staticmethod
    def rock_heights(small):
        """For each column, how many rows just above the horizon show rock: a near mountain
        rises higher above the horizon than a far one."""
        w, h = small.size
        horizon = h // 2
        pixels = small.load()
        heights = []
        for x in range(w):
            rows = 0
            for y in range(horizon - 1, horizon - h // 5, -1):
                if sky(pixels[x, y]):
                    break
                rows += 1
            heights.append(rows)
        return heights

    @staticmethod
    def nearest_star(small):
        """Column offset from the middle of the lowest (nearest) star glow in view, or None."""
        w, h = small.size
        pixels = small.load()
        for y in range(h - 1, h // 2, -1):
            xs = [x for x in range(w) if star_glow(pixels[x, y])]
            if xs:
                return sum(xs) / len(xs) - w / 2
        return None

    def turn(self, towards_left):
        self.game.key("Left" if towards_left else "Right", delay_ms=10)

    IDLE, STARS, ROCK = "idle", "stars", "rock"

    # The longest one step of the game may take on the busiest machine.
    STEP_SECONDS = 60

    def fly(self, steps, aim):
        """Flies `steps` steps of the game, or until it ends, and returns the steps flown. IDLE
        touches nothing; STARS aims for the nearest star and turns away from rock ahead; ROCK
        aims for the nearest mountain. The pilot looks and decides while the game is held between
        two steps (harness.HeldBetweenSteps), then lets it make the next one: it answers every
        step before the next, as a player does, however slow a busy machine makes the game or
        the pilot."""
        if aim == self.IDLE or not self.between_steps:
            for step in range(steps):
                if aim != self.IDLE:
                    self.game.pause()
                try:
                    over = self.steer(aim)
                finally:
                    if aim != self.IDLE:
                        self.game.resume()
                if over:
                    return step
                self.wait_for_step()
            return steps
        held = harness.HeldBetweenSteps(self.game.process.pid)
        try:
            for step in range(steps):
                if self.steer(aim):
                    return step
                if not held.run_until(lambda: self.game.grab().tobytes() != self.last_look, self.STEP_SECONDS):
                    raise AssertionError("the game made no step in %d s" % self.STEP_SECONDS)
            return steps
        finally:
            held.release()

    def wait_for_step(self):
        """Waits until the window shows another picture than the last look: the game has made a
        step (in flight every step moves the camera over the floor)."""
        if not self.game.changes_within(self.last_look, self.STEP_SECONDS):
            raise AssertionError("the game made no step in %d s" % self.STEP_SECONDS)

    def steer(self, aim):
        """One look and the key it calls for; true when the game has ended."""
        small, over = self.look()
        if not over and aim != self.IDLE:
            w = small.size[0]
            heights = self.rock_heights(small)
            if aim == self.ROCK:
                tallest = max(range(w), key=lambda x: heights[x])
                if heights[tallest] == 0:
                    self.turn(True)
                elif abs(tallest - w / 2) > w / 20:
                    self.turn(tallest < w / 2)
            else:
                corridor = range(w * 2 // 5, w * 3 // 5)
                near = [x for x in corridor if heights[x] >= small.size[1] // 12]
                star = self.nearest_star(small)
                if near:
                    # Away from the rock ahead, to the side where it ends sooner.
                    self.turn(sum(near) / len(near) >= w / 2)
                elif star is None:
                    self.turn(True)  # look around for one
                elif abs(star) > w / 25:
                    self.turn(star < 0)
        return over
