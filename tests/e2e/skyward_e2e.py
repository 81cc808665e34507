"""Driving the Windows programs of this project like a user: under Wine, on an X display (Xvfb in the
tests), with real pointer and keyboard input from xdotool and the window's pixels read back.

Start a program with `Program.start`, find its window with `Display.find_window` (the title compared
exactly), wait for states with `wait_until` and the `Window.wait_*` methods (generous limits: 32-bit
Wine may run under emulation), take screenshots with `Window.screenshot` (kept under the artefacts
folder; every path is printed, so a failing test shows where its pictures are), press the close box
with `Window.close_box`, and read the exit status with `Program.wait_exit` and `Program.status_line`.

Environment: DISPLAY; SKYWARD_SOURCE_DIR (the tree, for scripts/wine-exec.sh); SKYWARD_WINE_TARGET
(win32 by default); SKYWARD_ARTEFACTS (where screenshots go; a temporary folder otherwise).
"""

import os
import re
import subprocess
import tempfile
import threading
import time
import unittest

from PIL import Image
from Xlib import X, Xatom, display as xdisplay, error as xerror, protocol

SOURCE_DIR = os.environ.get("SKYWARD_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
WINE_TARGET = os.environ.get("SKYWARD_WINE_TARGET", "win32")
# Window appearance and process start under emulated 32-bit Wine take seconds; these limits leave room.
WINDOW_LIMIT = 60.0
STATE_LIMIT = 30.0


class WaitFailed(AssertionError):
    pass


def wait_until(predicate, limit=STATE_LIMIT, interval=0.1, what="the expected state"):
    """Polls until predicate() returns something true and returns it; fails after `limit` seconds.
    `what` may be a function, asked for the description only when the wait fails."""
    deadline = time.monotonic() + limit
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise WaitFailed(f"waited {limit:.0f} s for {what() if callable(what) else what}")
        time.sleep(interval)


def artefacts_folder():
    folder = os.environ.get("SKYWARD_ARTEFACTS") or os.path.join(tempfile.gettempdir(), "skyward-artefacts")
    os.makedirs(folder, exist_ok=True)
    return folder


def windows_path(path):
    """The Wine path (Z: is the Unix root) of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Program:
    """A Windows program running under Wine, its standard output collected line by line."""

    def __init__(self, process):
        self.process = process
        self.lines = []
        self._lock = threading.Lock()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    @classmethod
    def start(cls, exe, args=(), env=None, cwd=None):
        command = [os.path.join(SOURCE_DIR, "scripts", "wine-exec.sh"), WINE_TARGET, exe, *args]
        environment = dict(os.environ)
        environment.setdefault("WINEDEBUG", "-all")
        environment.update(env or {})
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, env=environment, cwd=cwd)
        return cls(process)

    def _read(self):
        for raw in self.process.stdout:
            line = raw.decode("cp1252", "replace").rstrip("\r\n")
            with self._lock:
                self.lines.append(line)

    def output(self):
        with self._lock:
            return list(self.lines)

    def wait_line(self, pattern, limit=STATE_LIMIT, after=0):
        """The first line from index `after` on that matches the regular expression; its match."""
        expression = re.compile(pattern)

        def found():
            for line in self.output()[after:]:
                match = expression.search(line)
                if match:
                    return match
            return None
        def described():
            # The idle ticks (event 4) say nothing about the failure and would bury the rest.
            lines = [line for line in self.output() if not line.startswith("event 4 ")]
            return f"a line matching {pattern!r}; the last lines of output: {lines[-40:]}"
        return wait_until(found, limit, what=described)

    def wait_exit(self, limit=STATE_LIMIT):
        """The exit status as the shell sees it: the low 8 bits of the Windows exit code."""
        try:
            code = self.process.wait(limit)
        except subprocess.TimeoutExpired:
            raise WaitFailed(f"the program did not end within {limit:.0f} s; output: {self.output()}")
        self._reader.join(5)
        return code & 0xFF

    def status_line(self, prefix):
        """The whole status a program reported on a line "<prefix> <status>", or None."""
        for line in self.output():
            match = re.fullmatch(re.escape(prefix) + r" (-?\d+)", line.strip())
            if match:
                return int(match.group(1))
        return None

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        self._reader.join(5)
        self.process.stdout.close()


class Window:
    """A top-level X window of a Wine program. Without a window manager the X window is exactly the
    client area."""

    def __init__(self, screen, window):
        self.screen = screen
        self.window = window
        self.id = window.id

    def title(self):
        return self.screen.title_of(self.window)

    def is_viewable(self):
        try:
            return self.window.get_attributes().map_state == X.IsViewable
        except xerror.XError:
            return False

    def geometry(self):
        """(x, y, width, height) of the client area on the screen."""
        g = self.window.get_geometry()
        origin = self.window.translate_coords(self.screen.root, 0, 0)
        return (-origin.x, -origin.y, g.width, g.height)

    def size(self):
        return self.geometry()[2:]

    def wait_viewable(self, limit=WINDOW_LIMIT):
        wait_until(self.is_viewable, limit, what=f"window {self.id:#x} to be mapped")
        return self

    def capture(self):
        """The client area's pixels now, as an RGB picture."""
        x, y, width, height = self.geometry()
        return self.screen.capture(x, y, width, height)

    def pixel(self, x, y):
        return self.screen.capture(*self._point_on_screen(x, y), 1, 1).getpixel((0, 0))

    def _point_on_screen(self, x, y):
        left, top, _, _ = self.geometry()
        return left + x, top + y

    def wait_pixel(self, x, y, colour, limit=STATE_LIMIT, tolerance=0, interval=0.2):
        def matches():
            got = self.screen.capture(*self._point_on_screen(x, y), 1, 1).getpixel((0, 0))
            return all(abs(a - b) <= tolerance for a, b in zip(got, colour))
        try:
            return wait_until(matches, limit, interval=interval, what=f"pixel ({x}, {y}) to be {colour}")
        except WaitFailed as failure:
            path = self.screenshot("wait-pixel-failed")
            raise WaitFailed(f"{failure}; it is {self.pixel(x, y)}; screenshot {path}") from None

    def wait_change(self, before, region, limit=STATE_LIMIT):
        """Waits until the pixels of region (left, top, right, bottom) differ from those of `before`."""
        old = before.crop(region).tobytes()
        return wait_until(lambda: self.capture().crop(region).tobytes() != old, limit, interval=0.2,
                          what=f"the pixels of {region} to change")

    def screenshot(self, name):
        """Saves the client area as <artefacts>/<name>.png (8-bit RGB) and prints the path."""
        path = os.path.join(artefacts_folder(), f"{name}.png")
        self.capture().save(path)
        print(f"screenshot: {path}", flush=True)
        return path

    def point_at(self, x, y):
        """Moves the pointer onto the window: the X focus follows the pointer without a window manager."""
        left, top, _, _ = self.geometry()
        pointer = self.screen.root.query_pointer()
        # xdotool's --sync waits 15 s for a move when the pointer is where it is told to go.
        if (pointer.root_x, pointer.root_y) == (left + x, top + y):
            return
        self.screen.xdotool("mousemove", "--sync", str(left + x), str(top + y))

    def click(self, x, y, button=1):
        self.point_at(x, y)
        self.screen.xdotool("click", str(button))

    def key(self, *keys, x=1, y=1):
        """Presses keys by X key name ("Return", "Escape", "alt+p") with the pointer on the window."""
        self.point_at(x, y)
        self.screen.xdotool("key", "--delay", "80", *keys)

    def type(self, text, x=1, y=1):
        self.point_at(x, y)
        self.screen.xdotool("type", "--delay", "80", text)

    def close_box(self):
        """What the close box does: WM_DELETE_WINDOW, which Wine turns into SC_CLOSE."""
        d = self.screen.display
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=self.window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(event, event_mask=X.NoEventMask)
        d.flush()


class Display:
    """The X display of $DISPLAY."""

    def __init__(self, name=None):
        self.name = name or os.environ["DISPLAY"]
        self.display = xdisplay.Display(self.name)
        self.root = self.display.screen().root

    def close(self):
        self.display.close()

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], check=True, env=dict(os.environ, DISPLAY=self.name), timeout=60)

    def title_of(self, window):
        try:
            name = window.get_full_property(self.display.intern_atom("_NET_WM_NAME"),
                                            self.display.intern_atom("UTF8_STRING"))
            if name:
                return name.value.decode("utf-8", "replace")
            name = window.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
            return name.value.decode("latin-1") if name else None
        except xerror.XError:
            return None

    def windows(self):
        """Every window below the root, depth first."""
        pending = [self.root]
        found = []
        while pending:
            window = pending.pop()
            try:
                children = window.query_tree().children
            except xerror.XError:
                continue
            found.extend(children)
            pending.extend(children)
        return found

    def find_windows(self, title):
        # Compared exactly: xdotool's --name search ignores case and matches substrings.
        return [Window(self, w) for w in self.windows() if self.title_of(w) == title]

    def find_window(self, title, limit=WINDOW_LIMIT, viewable=True, interval=0.25):
        def found():
            for window in self.find_windows(title):
                if not viewable or window.is_viewable():
                    return window
            return None
        return wait_until(found, limit, interval=interval, what=f"a window titled exactly {title!r}")

    def capture(self, x, y, width, height):
        raw = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        # 24-bit visuals come as 32-bit little-endian pixels: blue, green, red, unused.
        return Image.frombytes("RGB", (width, height), raw.data, "raw", "BGRX")


class ProgramTestCase(unittest.TestCase):
    """A test that starts programs and opens the display; whatever it started is stopped afterwards."""

    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.close)
        self.programs = []

    def start(self, exe, args=(), env=None, cwd=None):
        program = Program.start(exe, args, env, cwd)
        self.programs.append(program)
        self.addCleanup(program.stop)
        return program

    def shot(self, window, name):
        return window.screenshot(f"{self.id().split('.')[-1]}-{name}")
