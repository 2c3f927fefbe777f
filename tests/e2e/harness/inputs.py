"""Mouse and keyboard through xdotool: events arrive at exact client positions."""
import subprocess


class Input:
    def __init__(self, display: str):
        self.display = display

    def _xdotool(self, *args) -> None:
        subprocess.run(["xdotool", *map(str, args)], env={"DISPLAY": self.display}, check=True, timeout=10,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def move(self, x: int, y: int) -> None:
        self._xdotool("mousemove", "--sync", x, y)

    def click(self, x: int, y: int) -> None:
        self.move(x, y)
        self._xdotool("click", 1)

    def key(self, *names: str) -> None:
        self._xdotool("key", *names)

    def type(self, text: str) -> None:
        self._xdotool("type", "--delay", 5, text)
