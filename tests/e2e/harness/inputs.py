"""Mouse and keyboard through xdotool: events arrive at exact client positions."""
import subprocess
from contextlib import contextmanager


class Input:
    def __init__(self, display: str):
        self.display = display

    def _xdotool(self, *args) -> str:
        return subprocess.run(["xdotool", *map(str, args)], env={"DISPLAY": self.display}, check=True, timeout=10,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode()

    def position(self) -> tuple:
        fields = dict(line.split("=", 1) for line in self._xdotool("getmouselocation", "--shell").split())
        return int(fields["X"]), int(fields["Y"])

    def move(self, x: int, y: int) -> None:
        # --sync waits for the pointer to arrive, and so forever when it is there already.
        if self.position() != (x, y):
            self._xdotool("mousemove", "--sync", x, y)

    def click(self, x: int, y: int) -> None:
        self.move(x, y)
        self._xdotool("click", 1)

    def key(self, *names: str) -> None:
        self._xdotool("key", *names)

    @contextmanager
    def held(self, name: str):
        """The key down during the block, released after it: meanwhile the X server repeats it as a
        keyboard does. (Pressing a key that is down again through xdotool sends nothing.)"""
        self._xdotool("keydown", name)
        try:
            yield
        finally:
            self._xdotool("keyup", name)

    def type(self, text: str) -> None:
        self._xdotool("type", "--delay", 5, text)
