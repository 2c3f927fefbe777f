"""The real launcher of one scenario: its own folder with a copy of the executable and launcher.cfg
(the install folder is then <folder>\\Velkar), its window, its state read from the status dot and the
title, its buttons clicked where the layout puts them, and its message boxes answered by keyboard."""
import shutil
import time
from pathlib import Path

from . import ocr
from .session import Session
from .windows import Window

CLASS = "VelkarLauncher"
DIALOG = "#32770"
PICKER_TITLE = "Choose the game folder"

# Status dot colours: the state family the dot shows.
DOT = {0x85858A: "checking", 0xF0574B: "failed", 0xD8A02A: "attention", 0x3FB950: "ready", 0x1A86F0: "busy"}
DOT_CENTRE = (28, 566)
TITLE = (42, 552, 228, 580)
DETAIL = (42, 578, 228, 600)
DETAIL_TOOLTIP = (10, 546, 470, 569)  # a one-line tooltip of the detail line opens just above it
WIDTH, HEIGHT = 1000, 640


class Launcher:
    def __init__(self, session: Session, folder_name: str = "launcher", exe: Path = None, base_url: str = None,
                 channel: str = "main", config: str = None):
        self.session = session
        self.folder = session.folder / folder_name
        self.folder.mkdir(parents=True, exist_ok=True)
        self.exe = self.folder / "VelkarLauncher.exe"
        shutil.copyfile(exe or session.paths.launcher, self.exe)
        if config is None:
            config = f"BaseUrl={base_url or session.paths.store_url()}\nChannel={channel}\n"
        if config:
            (self.folder / "launcher.cfg").write_text(config)
        self.install_dir = self.folder / "Velkar"
        self.process = None
        self.english = True
        self.dpi = 96

    # --- process ----------------------------------------------------------------------------------
    def start(self, *args) -> "Launcher":
        self.process = self.session.start([self.exe, *args], f"{self.folder.name}.log")
        return self

    def wait_shown(self, timeout: float) -> Window:
        """The shown window; fails at once if the launcher ends before showing it."""
        deadline = time.monotonic() + timeout
        while True:
            code = self.process.poll()
            if code is not None:
                raise AssertionError(f"the launcher ended with exit code {code} before its window appeared")
            window = self.session.windows.find(CLASS, "Velkar")
            if window and window.width > 1:
                return window
            if time.monotonic() > deadline:
                raise AssertionError(f"the launcher's window did not appear within {timeout:.0f} s")
            time.sleep(0.1)

    def exit_code(self, timeout: float = 15) -> int:
        return self.process.wait(timeout=timeout)

    @property
    def metadata(self) -> Path:
        return self.install_dir / ".vklauncher"

    # --- window -----------------------------------------------------------------------------------
    def window(self, timeout: float = 15, check=None) -> Window:
        """The shown window (placed: wider than its 1-pixel creation size), optionally in some condition."""
        return self.session.windows.wait(CLASS, "Velkar", timeout,
                                         check=lambda w: w.width > 1 and (check is None or check(w)))

    @property
    def scale(self) -> float:
        return self.dpi / 96

    def point(self, x: float, y: float, window: Window = None) -> tuple:
        window = window or self.window()
        return window.left + round(x * self.scale), window.top + round(y * self.scale)

    def in_view(self, x: float, y: float) -> Window:
        """The window, moved if needed so that the DIP point lies on Wine's screen. Under a lasting
        wineserver Wine keeps the screen size of its first display and keeps the pointer on it, so a
        window larger than that (at 144 DPI) is shown part by part."""
        window = self.window()
        width, height = self.session.windows.screen()
        px, py = self.point(x, y, window)
        if 0 <= px < width and 0 <= py < height:
            return window
        self.session.windows.move(window, width // 2 - round(x * self.scale), height // 2 - round(y * self.scale),
                                  self.dpi)
        return self.window(check=lambda w: 0 <= self.point(x, y, w)[0] < width and 0 <= self.point(x, y, w)[1] < height)

    def region(self, rect: tuple, window: Window = None):
        window = window or self.in_view((rect[0] + rect[2]) / 2, (rect[1] + rect[3]) / 2)
        left, top = self.point(rect[0], rect[1], window)
        right, bottom = self.point(rect[2], rect[3], window)
        return self.session.grab(left, top, right, bottom)

    def dot(self) -> str:
        window = self.in_view(*DOT_CENTRE)
        x, y = self.point(*DOT_CENTRE, window)
        return DOT.get(self.session.grab(x, y, x + 1, y + 1).pixel(0, 0), "none")

    def wait_dot(self, *families: str, timeout: float = 20) -> str:
        deadline = time.monotonic() + timeout
        repaint_at = time.monotonic() + 1.5
        seen = None
        while time.monotonic() < deadline:
            seen = self.dot()
            if seen in families:
                return seen
            if seen == "none" and time.monotonic() > repaint_at:
                # Now and then the first frame is drawn before X maps the window and is lost.
                self.session.windows.repaint(self.window())
                repaint_at = deadline
            time.sleep(0.1)
        raise AssertionError(f"status dot shows {seen!r}, expected one of {families} within {timeout} s")

    def title(self) -> str:
        return ocr.read(self.region(TITLE), "eng" if self.english else "chi_sim")

    def detail(self) -> str:
        return ocr.read(self.region(DETAIL), "eng" if self.english else "chi_sim")

    def tooltip_text(self) -> str:
        return ocr.read(self.region(DETAIL_TOOLTIP), "eng" if self.english else "chi_sim")

    def wait_title(self, expected: str, timeout: float = 20) -> str:
        deadline = time.monotonic() + timeout
        text = ""
        while time.monotonic() < deadline:
            text = self.title()
            if ocr.contains(text, expected):
                return text
            time.sleep(0.1)
        raise AssertionError(f"state title reads {text!r}, expected {expected!r} within {timeout} s")

    # --- input ---------------------------------------------------------------------------------
    def prepare_layouts(self, *states: str, **flags) -> None:
        """Asks for layouts ahead of time, so that a click during a short-lived state is not late."""
        for state in states:
            self.session.layout.buttons(state, self.english, self.dpi, **flags)

    def click(self, name: str, state: str, **flags) -> None:
        """Clicks the button of that name as the layout of the state (and flags) places it."""
        entry = self.session.layout.buttons(state, self.english, self.dpi, **flags)[name]
        window = self.in_view(entry["click"][0] / self.scale, entry["click"][1] / self.scale)
        self.session.input.click(window.left + entry["click"][0], window.top + entry["click"][1])

    def wait_state(self, dot: str, title: str, timeout: float = 20) -> None:
        """The status dot's colour family, then the state title by OCR."""
        self.wait_dot(dot, timeout=timeout)
        self.wait_title(title, timeout=timeout)

    def close(self, state: str, **flags) -> int:
        """Closes with the window's close button outside an update; the exit code."""
        self.click("close", state, **flags)
        return self.exit_code()

    # --- dialogs ----------------------------------------------------------------------------------
    def message_box(self, timeout: float = 15) -> Window:
        return self.session.windows.wait(DIALOG, "Velkar", timeout)

    def message_text(self, box: Window) -> str:
        return " ".join(self.session.windows.texts(box))

    def pick_folder(self, path: str, timeout: float = 15) -> None:
        """Types the path into the open folder picker's name box and confirms it."""
        picker = self.session.windows.wait(DIALOG, PICKER_TITLE, timeout)
        deadline = time.monotonic() + timeout
        # Keys typed before the name box has the focus are lost: typed again until the box shows them.
        while path not in self.session.windows.texts(picker):
            assert time.monotonic() < deadline, f"the folder picker never showed {path!r}"
            self.session.windows.bring_to_front(picker)
            self.session.input.key("ctrl+a", "BackSpace")
            self.session.input.type(path)
        self.session.input.key("Return")
        self.session.windows.wait_gone(DIALOG, PICKER_TITLE, timeout)

    def setting(self, key: str):
        """The value of a key in settings.cfg, or None."""
        settings = self.session.user_data / "settings.cfg"
        text = settings.read_text(encoding="utf-8") if settings.exists() else ""
        for line in text.splitlines():
            if line.startswith(key + "="):
                return line[len(key) + 1:]
        return None

    def answer(self, box: Window, key: str) -> None:
        self.session.windows.bring_to_front(box)
        self.session.input.key(key)
        self.session.windows.wait_gone(DIALOG, "Velkar", 10)
