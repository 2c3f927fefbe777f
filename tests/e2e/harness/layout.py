"""Where the buttons are: asked of the layout probe, a console program that paints the screen with the
interface's own code for a state, language and DPI and prints each button's command and rectangles.
Clicks thus land where the screen draws, never at coordinates written here."""
import json

from . import wine


class Layout:
    def __init__(self, probe, env: dict):
        self.probe, self.env = probe, env
        self.known = {}

    def buttons(self, state: str, english: bool, dpi: int, installed: bool = False, full_map: int = 0,
                pausing: bool = False) -> dict:
        """name -> {"command", "enabled", "dip", "px", "click"} of the first entry of each name."""
        args = ["--state", state, "--lang", "en" if english else "zh", "--dpi", dpi]
        if installed:
            args.append("--installed")
        if full_map:
            args += ["--full-map", full_map]
        if pausing:
            args.append("--pausing")
        key = tuple(map(str, args))
        if key not in self.known:
            code, out, err = wine.run([self.probe, *args], self.env)
            if code != 0:
                # Wine's own stderr says whether the probe ran at all (a process start refused under load).
                raise RuntimeError(f"layout probe {' '.join(key)} failed with {code}: {out}{err[-2000:]}")
            found = {}
            for line in out.splitlines():
                if line.strip().startswith("{"):
                    entry = json.loads(line)
                    found.setdefault(entry["name"], entry)
            self.known[key] = found
        return self.known[key]
