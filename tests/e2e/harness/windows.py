"""Top-level windows found by their Win32 class and title through the window_probe helper, which runs
under the same wineserver as the launcher, as one long-lived process answering requests."""
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path


@dataclass
class Window:
    handle: int
    left: int  # client area in screen pixels
    top: int
    width: int
    height: int
    iconic: bool
    foreground: bool


class Windows:
    def __init__(self, probe: Path, env: dict):
        self.process = subprocess.Popen(["wine", str(probe), "serve"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, env=env, start_new_session=True)

    def ask(self, *words) -> tuple:
        """(exit code, output lines) of one request."""
        self.process.stdin.write(("\t".join(map(str, words)) + "\n").encode("utf-8"))
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("window_probe ended")
            line = line.decode("utf-8", "replace").rstrip("\r\n")
            if line == ".":
                return int(lines[-1][1:]), lines[:-1]
            lines.append(line)

    def find(self, class_name: str, title: str = None):
        code, out = self.ask("find", class_name, *([title] if title else []))
        if code != 0 or not out:
            return None
        fields = [int(v) for v in out[0].split()]
        return Window(fields[0], fields[1], fields[2], fields[3], fields[4], bool(fields[5]), bool(fields[6]))

    def wait(self, class_name: str, title: str = None, timeout: float = 15, check=None) -> Window:
        """The window once it exists (and satisfies check); fails after timeout."""
        deadline = time.monotonic() + timeout
        while True:
            window = self.find(class_name, title)
            if window and (check is None or check(window)):
                return window
            if time.monotonic() > deadline:
                raise AssertionError(f"no window of class {class_name!r} title {title!r} within {timeout} s"
                                     f" (last seen: {window})")
            time.sleep(0.05)

    def wait_gone(self, class_name: str, title: str = None, timeout: float = 15) -> None:
        deadline = time.monotonic() + timeout
        while self.find(class_name, title):
            if time.monotonic() > deadline:
                raise AssertionError(f"window of class {class_name!r} title {title!r} still there after {timeout} s")
            time.sleep(0.05)

    def texts(self, window: Window) -> list:
        return self.ask("texts", window.handle)[1]

    def bring_to_front(self, window: Window) -> None:
        self.ask("front", window.handle)

    def restore(self, window: Window) -> None:
        self.ask("restore", window.handle)

    def repaint(self, window: Window) -> None:
        self.ask("repaint", window.handle)

    def screen(self) -> tuple:
        return tuple(int(v) for v in self.ask("screen")[1][0].split())

    def move(self, window: Window, x: int, y: int, dpi: int) -> None:
        """Puts the top-left corner of a window of that DPI at the screen pixel: Wine takes a position
        from another program in the window's 96-DPI units, though it reports real pixels."""
        self.ask("move", window.handle, round(x * 96 / dpi), round(y * 96 / dpi))

    def post_close(self, window: Window) -> None:
        self.ask("close", window.handle)

    def press(self, window: Window, command: int) -> None:
        self.ask("press", window.handle, command)

    def post(self, window: Window, message: int, wparam: int, lparam: int) -> None:
        """Any message, posted as any program on the desktop can."""
        code, _ = self.ask("post", window.handle, message, wparam, lparam)
        if code != 0:
            raise RuntimeError(f"message {message:#x} could not be posted")

    def post_click(self, window: Window, x: int, y: int) -> None:
        """A left click at the client pixel, posted to the window instead of made with the pointer."""
        self.ask("click", window.handle, x, y)

    def close(self) -> None:
        self.process.stdin.close()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
