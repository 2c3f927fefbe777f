"""An Xvfb server of its own on a free display number, for one scenario."""
import os
import subprocess


class Display:
    def __init__(self, width: int = 1280, height: int = 800):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the number once it listens; it dies if the line is not read whole.
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("no X display: Xvfb did not start")
        self.name = f":{number}"
        self.width, self.height = width, height

    def close(self) -> None:
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()
