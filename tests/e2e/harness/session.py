"""One scenario's world: its own X display, a fresh work folder, the per-user folder of the Wine user
emptied, the programs it started (ended by their ids when it ends) and a screenshot on failure."""
import getpass
import shutil
import signal
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path

from . import screen, wine
from .display import Display
from .inputs import Input
from .layout import Layout
from .windows import Windows
from .xlib import Connection


@dataclass
class Paths:
    build: Path  # the Windows build tree
    env_dir: Path  # the test servers' folder (servers.txt, access.log, www)
    work: Path  # scenario folders and screenshots

    @property
    def launcher(self) -> Path:
        return self.build / "src" / "VelkarLauncher.exe"

    def fixture(self, name: str) -> Path:
        return self.build / "tests" / "e2e" / "fixtures" / name

    def server(self, kind: str = "https") -> str:
        for line in (self.env_dir / "servers.txt").read_text().splitlines():
            key, _, value = line.partition("=")
            if key == kind:
                return value
        raise RuntimeError(f"no {kind} server in {self.env_dir / 'servers.txt'}")

    def store_url(self, slow: bool = False) -> str:
        return self.server() + ("/slow" if slow else "") + "/e2e"

IDYES = 6


def user_data_dir(env: dict) -> Path:
    """The launcher's per-user folder (local application data + VelkarLauncher) on the Linux side."""
    return Path(env["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / "AppData" / "Local" / "VelkarLauncher"


class Session:
    def __init__(self, name: str, paths: Paths, width: int = 1280, height: int = 800, display: Display = None):
        self.name, self.paths = name, paths
        self.folder = paths.work / name
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        self.display = display or Display(width, height)
        self.game_record = self.folder / "game-record.txt"
        self.game_hold = self.folder / "game-hold"
        self.game_ask_repair = self.folder / "game-ask-repair"
        self.env = wine.environment(self.display.name, {
            "E2E_GAME_RECORD": wine.windows_path(self.game_record),
            "E2E_GAME_HOLD": wine.windows_path(self.game_hold),
            "E2E_GAME_ASK_REPAIR": wine.windows_path(self.game_ask_repair),
        })
        wine.prepare_prefix(self.env)
        self.user_data = user_data_dir(self.env)
        shutil.rmtree(self.user_data, ignore_errors=True)
        self.windows = Windows(paths.fixture("window_probe.exe"), self.env)
        self.input = Input(self.display.name)
        self.x_server = Connection(self.display.name)
        self.layout = Layout(paths.build / "tests" / "ui" / "layout_probe" / "velkar_layout_probe.exe", self.env)
        self.started = []
        self.shots = 0

    def start(self, args: list, log_name: str) -> subprocess.Popen:
        process = wine.start(args, self.env, self.folder / log_name)
        self.started.append(process)
        return process

    def close_launchers(self) -> None:
        """Launchers this scenario did not start itself (a self-updated one, one the game started) hold
        the prefix's single-instance mutex: closed as a player would, confirming any question."""
        for _ in range(20):
            window = self.windows.find("VelkarLauncher")
            if window is None:
                return
            question = self.windows.find("#32770", "Velkar")
            if question:
                self.windows.press(question, IDYES)
            else:
                self.windows.post_close(window)
            time.sleep(0.25)

    def capture(self) -> screen.Image:
        return screen.capture(self.display.name)

    def grab(self, left: int, top: int, right: int, bottom: int) -> screen.Image:
        return screen.grab(self.x_server, left, top, right, bottom)

    def screenshot(self, label: str) -> Path:
        self.shots += 1
        return self.capture().save_png(self.folder / f"{self.shots:02d}-{label}.png")

    def close(self) -> None:
        # A held game would keep running: let it end, then end whatever this scenario started.
        self.game_hold.unlink(missing_ok=True)
        self.close_launchers()
        for process in self.started:
            if process.poll() is None:
                process.send_signal(signal.SIGKILL)
                process.wait()
        self.windows.close()
        self.x_server.close()
        self.display.close()
