"""Drives the real game for end-to-end tests: a private Xvfb, a scratch working directory,
keys and clicks through xdotool, screenshots, and a proper close through WM_DELETE_WINDOW.

Tests get the game's path, the source folder and the game's data from the environment
(VELMO_BINARY, VELMO_SOURCE_DIR, VELMO_DATA_DIR), which CTest sets. A game starts from a copy of
the data folder, which holds only what the build generated: never from the run folder, where a
player's "h.bin" and config.txt gather.
"""
import atexit
import os
import signal
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

SOURCE_DIR = os.environ.get("VELMO_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
BINARY = os.environ.get("VELMO_BINARY", os.path.join(SOURCE_DIR, "build", "velmo"))
DATA_DIR = os.environ.get("VELMO_DATA_DIR", os.path.join(SOURCE_DIR, "build", "data"))
CLOSE_WINDOW = os.path.join(SOURCE_DIR, "scripts", "close-window")
# The benchmark's recorded flight: three games with crashes, stars and a time-out.
BENCH_REPLAY = os.path.join(SOURCE_DIR, "tools", "bench", "flight.vrp")
# The preloaded filter that takes extension names out of glGetString(GL_EXTENSIONS).
HIDE_LIBRARY = os.path.join(os.path.dirname(BINARY), "tests", "render", "libvelmo_hide_gl_extension.so")
TITLE = "velmo 1.0"
# Start-up's last line: the game runs and reads its own keys.
LOADED = "Loading mountain5... [  OK  ]"
# The lowest details and no sound: a game that starts soonest.
QUICK = {"config.txt": "10 2 0\n"}


def wait_until(condition, failure, timeout=30, interval=0.1):
    """Waits until condition() holds: a busy machine carries out a key or draws a step late. After
    `timeout` seconds the test fails with `failure` (a text, or a function that gives it then)."""
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            raise AssertionError(failure() if callable(failure) else failure)
        time.sleep(interval)


def highscore_table(*entries):
    """The bytes of an "h.bin": (name, score) pairs in rank order, the rest of the ten empty."""
    records = b"".join(name.ljust(20, b"\0") + struct.pack("<I", score)
                       for name, score in list(entries) + [(b"", 0)] * (10 - len(entries)))
    return bytes(b ^ 0xFF for b in records)


def highscores(data):
    """The (name, score) pairs of an "h.bin"'s ten records."""
    plain = bytes(b ^ 0xFF for b in data)
    return [(plain[24 * i:24 * i + 20].split(b"\0", 1)[0], struct.unpack_from("<I", plain, 24 * i + 20)[0])
            for i in range(10)]


def highscore_names(data):
    return [name for name, _ in highscores(data)]


_servers = []


class HeldBetweenSteps:
    """Holds the game between two of its steps, where it has shown one step and begun no other,
    for as long as a player needs to look and press a key: the game's main thread is stopped
    (ptrace) as it enters the wait at the end of each pass of GLUT's loop (pselect6, freeglut's
    select). A pass reads the window's input first, then runs the timers and the display, so a
    key pressed while the game is held reaches the very next step, however long the machine takes
    over a step. (A SIGSTOP lands anywhere: under load, mostly inside a step whose input was read
    already, and the steps go on unwatched while a starved pilot looks for the next picture.)
    Only the main thread is traced; GLUT's loop runs there. While held, nothing else may wait for
    the game's process (Popen.poll would take the stops)."""

    _SEIZE, _INTERRUPT, _SYSCALL, _DETACH, _GET_SYSCALL_INFO = 0x4206, 0x4207, 24, 17, 0x420E
    _TRACESYSGOOD = 1
    _WALL = 0x40000000
    _PSELECT6 = 270  # x86-64; glibc's select
    _ENTRY = 1

    def __init__(self, pid):
        import ctypes

        class SyscallInfo(ctypes.Structure):
            _fields_ = [("op", ctypes.c_uint8), ("pad", ctypes.c_uint8 * 3), ("arch", ctypes.c_uint32),
                        ("ip", ctypes.c_uint64), ("sp", ctypes.c_uint64), ("nr", ctypes.c_uint64),
                        ("args", ctypes.c_uint64 * 6)]

        self._ctypes = ctypes
        self._info = SyscallInfo()
        self._libc = ctypes.CDLL(None, use_errno=True)
        self._libc.ptrace.restype = ctypes.c_long
        self._libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]
        self.pid = pid
        self._ptrace(self._SEIZE, None, self._TRACESYSGOOD)
        self._ptrace(self._INTERRUPT)
        self._wait_stop()
        self._to_the_next_wait()

    def _ptrace(self, request, addr=None, data=None):
        if self._libc.ptrace(request, self.pid, addr, data) < 0:
            errno = self._ctypes.get_errno()
            raise OSError(errno, "ptrace %#x on the game: %s" % (request, os.strerror(errno)))

    def _wait_stop(self):
        """Waits for the next stop of the main thread; returns the signal to pass on, if any."""
        _, status = os.waitpid(self.pid, self._WALL)
        if not os.WIFSTOPPED(status):
            raise RuntimeError("the game ended while held (status %#x)" % status)
        signal_number = os.WSTOPSIG(status)
        if signal_number == signal.SIGTRAP | 0x80 or status >> 16:
            return 0  # a system call, or the stop asked for
        return signal_number

    def _to_the_next_wait(self):
        """Lets the game run until it enters the wait at the end of a pass of its loop."""
        pending = 0
        while True:
            self._ptrace(self._SYSCALL, None, pending)
            pending = self._wait_stop()
            if pending:
                continue
            info = self._info
            self._libc.ptrace(self._GET_SYSCALL_INFO, self.pid, self._ctypes.c_void_p(self._ctypes.sizeof(info)),
                              self._ctypes.byref(info))
            if info.op == self._ENTRY and info.nr == self._PSELECT6:
                return

    def run_until(self, condition, seconds):
        """Lets the game run a pass of its loop at a time until condition() holds while it is
        held; false when `seconds` pass first."""
        deadline = time.time() + seconds
        while not condition():
            if time.time() > deadline:
                return False
            self._to_the_next_wait()
        return True

    def release(self):
        self._ptrace(self._DETACH)


@atexit.register
def _stop_servers():
    for server in _servers:
        if server.process.poll() is None:
            server.process.kill()


class XServer:
    """A private Xvfb on a free display, stopped at the latest when the test script ends."""

    def __init__(self, size="1024x768"):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        _servers.append(self)
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


class Game:
    """The game running in a scratch copy of the data folder (or an empty one), or `beside` another
    game in that game's folder, which it leaves in place, with console logs named after `tag`."""

    def __init__(self, copy_run_dir=True, files=None, size="1024x768", extra_env=None, args=(), beside=None, tag=""):
        self.owns_workdir = beside is None
        self.workdir = beside.workdir if beside else tempfile.mkdtemp(prefix="velmo-e2e-")
        if copy_run_dir and self.owns_workdir:
            shutil.copytree(DATA_DIR, self.workdir, dirs_exist_ok=True, symlinks=True)
        for name, data in (files or {}).items():
            path = os.path.join(self.workdir, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data if isinstance(data, bytes) else data.encode())
        self.x = XServer(size)
        self.env = dict(os.environ, DISPLAY=self.x.display, SDL_AUDIODRIVER="dummy")
        self.env.update(extra_env or {})
        self.stdout_path = os.path.join(self.workdir, tag + "stdout.log")
        self.stderr_path = os.path.join(self.workdir, tag + "stderr.log")
        self.process = None
        self.window = None
        # The whole window on the screen: without a window manager GLUT's default place is
        # (-1, -1), which leaves the top row and the left column off the screen.
        self.args = list(args) or ["-geometry", "800x600+0+0"]

    def start(self, wait_window=True, timeout=30):
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen([BINARY] + self.args, cwd=self.workdir, env=self.env, stdout=out, stderr=err)
        if wait_window:
            self.window = self.wait_window(timeout)
        return self

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True).stdout

    def wait_window(self, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("the game ended before its window showed: " + self.stderr())
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + TITLE + "$"], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
            if found:
                window = found[0]
                focused = subprocess.run(["xdotool", "windowfocus", window], env=self.env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if focused.returncode == 0:
                    return window
            time.sleep(0.1)
        raise RuntimeError("no game window after %s s" % timeout)

    def wait_output(self, text, timeout=60):
        """Waits until the game's standard output holds text (a start-up line, say)."""
        deadline = time.time() + timeout
        while text not in self.stdout():
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError("the game never printed %r: %s%s" % (text, self.stdout(), self.stderr()))
            time.sleep(0.1)

    def wait_loaded(self, timeout=60):
        self.wait_output(LOADED, timeout)

    def pause(self):
        """Holds the game still (its steps wait); the X server keeps its window and its input."""
        os.kill(self.process.pid, signal.SIGSTOP)

    def resume(self):
        os.kill(self.process.pid, signal.SIGCONT)

    def changes_within(self, picture, seconds):
        """Whether the window shows another picture than `picture` (grab()'s bytes) within
        `seconds`: in flight, whether the game has made a step."""
        deadline = time.time() + seconds
        while self.grab().tobytes() == picture:
            if time.time() > deadline:
                return False
            time.sleep(0.01)
        return True

    def key(self, *keys, delay_ms=60):
        self.xdotool("windowfocus", self.window)
        self.xdotool("key", "--delay", delay_ms, *keys)

    def type(self, text):
        self.xdotool("windowfocus", self.window)
        self.xdotool("type", "--delay", 60, text)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--window", self.window, x, y)
        self.xdotool("click", button)

    def geometry(self):
        out = self.xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, path=None):
        """The window's pixels as a PIL image (saved to path when given)."""
        from PIL import Image
        path = path or os.path.join(self.workdir, "screenshot-%d.png" % int(time.time() * 1000))
        subprocess.run(["import", "-window", self.window, path], env=self.env, check=True)
        return Image.open(path).convert("RGB")

    def grab(self):
        """The window's pixels as a PIL image, read straight from the X server: much quicker than
        screenshot(), which starts ImageMagick, for tests that look many times a second."""
        from PIL import Image
        from Xlib import X, display
        if not hasattr(self, "_x_display"):
            self._x_display = display.Display(self.x.display)
            root = self._x_display.screen().root
            corner = self._x_display.create_resource_object("window", int(self.window)).translate_coords(root, 0, 0)
            self._x_root, self._x_corner = root, (-corner.x, -corner.y)
        width, height = self.geometry()
        # GLUT's default place is (-1, -1): the part off the screen stays black.
        left, top = max(0, self._x_corner[0]), max(0, self._x_corner[1])
        inner = (width - (left - self._x_corner[0]), height - (top - self._x_corner[1]))
        raw = self._x_root.get_image(left, top, inner[0], inner[1], X.ZPixmap, 0xFFFFFFFF)
        picture = Image.new("RGB", (width, height))
        picture.paste(Image.frombytes("RGB", inner, raw.data, "raw", "BGRX"),
                      (left - self._x_corner[0], top - self._x_corner[1]))
        return picture

    def ask_to_close(self):
        """Asks the window to close as a window manager would."""
        subprocess.run([CLOSE_WINDOW, self.window], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def close(self, timeout=60):
        """Closes the window once and returns the exit status. A close that goes unanswered is a
        fault to see, so it is never sent again."""
        self.ask_to_close()
        return self.wait(timeout)

    def wait(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise

    def stdout(self):
        with open(self.stdout_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def file(self, name):
        with open(os.path.join(self.workdir, name), "rb") as f:
            return f.read()

    def stored(self):
        """The (name, score) pairs of the game's "h.bin", none while it has none."""
        return highscores(self.file("h.bin")) if os.path.exists(os.path.join(self.workdir, "h.bin")) else []

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.x.stop()
        if self.owns_workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)


class GameTestCase(unittest.TestCase):
    """A test that runs one game at a time as self.game, stopped after each test."""

    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.stop()

    def run_failing(self, remove=(), **options):
        """Starts the game without the data files named in `remove`, expects it to end by itself
        with a non-zero status; returns it."""
        self.game = Game(**options)
        for name in remove:
            os.remove(os.path.join(self.game.workdir, name))
        game = self.game.start(wait_window=False)
        self.assertNotEqual(game.wait(60), 0, game.stderr())
        return game


def start_recording(test, name, side):
    """A game in a side x side window recording into `name` in a scratch folder, both cleaned up
    after `test`; returns the started game and the recording's path."""
    folder = tempfile.mkdtemp(prefix="velmo-record-")
    test.addCleanup(shutil.rmtree, folder, True)
    path = os.path.join(folder, name)
    game = Game(args=["-geometry", "%dx%d+0+0" % (side, side), "--record", path])
    test.addCleanup(game.stop)
    game.start()
    return game, path
