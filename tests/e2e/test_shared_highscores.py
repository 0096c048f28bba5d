"""Games that share one folder and its "h.bin": none loses another's results, the file is never
seen torn while two games save at once, a link beside it is never written through, and a file
the game cannot read is left as it was."""
import os
import random
import shutil
import stat
import sys
import tempfile
import threading
import time
import unittest

import harness

# Low details and no sound: these games only need to start quickly and end by themselves.


OLD = harness.highscore_table((b"Keeper", 99), (b"Second", 50))


def run_games_under(test, prefix):
    """Until `test` ends, the games it starts run under `prefix`, a command and its arguments."""
    folder = tempfile.mkdtemp(prefix="velmo-wrap-")
    test.addCleanup(shutil.rmtree, folder, True)
    wrapper = os.path.join(folder, "velmo")
    with open(wrapper, "w") as f:
        f.write("#!/bin/sh\nexec %s %s \"$@\"\n" % (" ".join(prefix), harness.BINARY))
    os.chmod(wrapper, 0o755)
    test.addCleanup(setattr, harness, "BINARY", harness.BINARY)
    harness.BINARY = wrapper


def close_together(first, second, delay):
    """Asks both games' windows to close as a window manager would, the second `delay` seconds
    after the first: the messages go out on connections opened beforehand."""
    from Xlib import X, display
    from Xlib.protocol import event
    windows = []
    for game in (first, second):
        connection = display.Display(game.x.display)
        window = connection.create_resource_object("window", int(game.window))
        delete = connection.intern_atom("WM_DELETE_WINDOW")
        message = event.ClientMessage(window=window, client_type=connection.intern_atom("WM_PROTOCOLS"),
                                      data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        windows.append((connection, window, message))
    for i, (connection, window, message) in enumerate(windows):
        if i:
            time.sleep(delay)
        window.send_event(message, event_mask=X.NoEventMask)
        connection.flush()
    for connection, _, _ in windows:
        connection.sync()
        connection.close()


class SharedFolder(unittest.TestCase):
    def setUp(self):
        self.games = []

    def tearDown(self):
        for game in reversed(self.games):
            game.stop()

    def first(self, files=None, **options):
        game = harness.Game(files=dict(harness.QUICK, **(files or {})), args=["-geometry", "300x300+0+0"], **options)
        self.games.append(game)
        return game

    def beside(self, tag, **options):
        game = harness.Game(beside=self.games[0], tag=tag + "-", args=["-geometry", "300x300+0+0"], **options)
        self.games.append(game)
        return game

    def started(self, game):
        game.start()
        game.wait_loaded()
        return game

    @staticmethod
    def type_name(game, name):
        """Waits for the game's end (the recording prints it) and enters the name."""
        game.wait_output("Game over at display", timeout=120)
        time.sleep(0.3)
        game.type(name)
        game.key("Return")

    def enter_name(self, game, name):
        """Enters the name at the game's end and waits until the file holds it."""
        self.type_name(game, name)
        harness.wait_until(lambda: name.encode() in dict(game.stored()),
                           lambda: "%s never reached h.bin: %s" % (name, game.stderr()), 20)

    def test_no_game_loses_anothers_result_and_a_link_is_never_followed(self):
        precious_dir = tempfile.mkdtemp(prefix="velmo-precious-")
        self.addCleanup(shutil.rmtree, precious_dir)
        precious = os.path.join(precious_dir, "precious")
        with open(precious, "wb") as f:
            f.write(b"the player's own file")
        a = self.first()
        os.symlink(precious, os.path.join(a.workdir, "h.bin.tmp"))
        a.args += ["--record", "a.vrp"]
        b, idle = self.beside("b"), self.beside("idle")
        b.args += ["--record", "b.vrp"]
        for game in (a, b, idle):
            self.started(game)
        # B read the file before Alpha was in it; its own save must still keep Alpha.
        self.enter_name(a, "Alpha")
        self.enter_name(b, "Bravo")
        self.assertEqual(a.close(), 0)
        self.assertEqual(b.close(), 0)
        # The idle game saves at its exit too: what the file holds, not the empty table it read.
        self.assertEqual(idle.close(), 0)
        held = harness.highscore_names(a.file("h.bin"))
        self.assertIn(b"Alpha", held)
        self.assertIn(b"Bravo", held)
        self.assertEqual(len([n for n in held if n]), 2)
        self.assertFalse(os.path.islink(os.path.join(a.workdir, "h.bin")))
        self.assertEqual(os.readlink(os.path.join(a.workdir, "h.bin.tmp")), precious)
        with open(precious, "rb") as f:
            self.assertEqual(f.read(), b"the player's own file")

    def test_two_games_closed_at_once_never_show_a_torn_file(self):
        # Each save's steps are slowed (tests/support/slow_save.c) and the second close comes
        # 0 to 90 ms after the first, so the two saves overlap in every way over the rounds.
        seen = {"reads": 0, "torn": 0, "short": 0}
        stop = threading.Event()
        slow = {"LD_PRELOAD": os.environ["VELMO_SLOW_SAVE"]} if os.environ.get("VELMO_SLOW_SAVE") else {}
        offsets = random.Random(25)
        for round in range(20):
            with self.subTest(round=round):
                a = self.first(files={"h.bin": OLD}, extra_env=slow)
                b = self.beside("b", extra_env=slow)
                self.started(a)
                self.started(b)
                path = os.path.join(a.workdir, "h.bin")

                def watch():
                    while not stop.is_set():
                        try:
                            with open(path, "rb") as f:
                                data = f.read()
                        except FileNotFoundError:
                            data = b""
                        seen["reads"] += 1
                        if data != OLD:
                            seen["torn"] += 1
                            seen["short"] += len(data) < 240
                watcher = threading.Thread(target=watch)
                stop.clear()
                watcher.start()
                close_together(a, b, offsets.uniform(0.0, 0.09))
                for game in (a, b):
                    game.wait(60)
                stop.set()
                watcher.join()
                self.assertEqual((a.process.returncode, b.process.returncode), (0, 0))
                self.assertEqual(a.file("h.bin"), OLD)
                for game in reversed(self.games):
                    game.stop()
                self.games = []
        print("watcher: %(reads)d reads, %(torn)d not the whole table, %(short)d shorter than 240 bytes" % seen)
        self.assertEqual(seen["torn"], 0)

    def test_a_file_the_game_cannot_read_is_left_as_it_was(self):
        game = self.first(files={"h.bin": OLD})
        game.args += ["--record", "a.vrp"]
        path = os.path.join(game.workdir, "h.bin")
        os.chmod(path, 0)
        if os.geteuid() == 0:
            # The superuser reads any file: the game plays as an ordinary user, in a folder it
            # may write, so only the file's own mode stands in its way.
            os.chmod(game.workdir, 0o777)
            run_games_under(self, ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"])
        self.started(game)
        self.type_name(game, "Lost")
        time.sleep(1.0)
        self.assertEqual(game.close(), 0)
        self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0)
        os.chmod(path, 0o644)
        self.assertEqual(game.file("h.bin"), OLD)
        said = [line for line in game.stderr().splitlines() if "h.bin" in line]
        self.assertEqual(len(said), 1, game.stderr())
        self.assertIn("will not be saved", said[0])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
