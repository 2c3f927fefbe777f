"""Steps several scenarios share: a started launcher, an installation made through the window, and
the folders a second start must leave alone."""
import hashlib
import json
import time
from pathlib import Path

from harness.launcher import Launcher
from harness.store import Store

FULL_MAP_NOTICE = {"installed": True}


def store(session) -> Store:
    return Store(session.paths.env_dir)


def full_map_size(session) -> int:
    island = store(session).island.rstrip("*")
    game = session.paths.env_dir / "e2e-game" / island
    return sum(f.stat().st_size for f in game.rglob("*") if f.is_file())


def wait_recorded(launcher: Launcher, paths: set, timeout: float = 60) -> None:
    """Until installed.json names a build and every one of the paths: the end of an update whose
    frames may all have come and gone between two looks at the screen."""
    record = launcher.metadata / "installed.json"
    deadline = time.monotonic() + timeout
    while True:
        try:
            document = json.loads(record.read_text(encoding="utf-8"))
            if document.get("build_id") and paths <= set(document.get("files", {})):
                return
        except (OSError, ValueError):
            pass  # not written yet, or caught between two writes
        assert time.monotonic() < deadline, f"installed.json does not record {sorted(paths)} within {timeout} s"
        time.sleep(0.1)


def started(session, **options) -> Launcher:
    launcher = Launcher(session, **options).start()
    launcher.window()
    return launcher


def install(launcher: Launcher) -> None:
    """From the first start to Ready through the Download button; the result byte for byte."""
    launcher.wait_state("attention", "Not installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    store(launcher.session).check_install(launcher.install_dir)


def snapshot(*folders: Path) -> dict:
    """Every file below the folders with its digest."""
    found = {}
    for folder in folders:
        for path in sorted(folder.rglob("*")) if folder.exists() else []:
            if path.is_file():
                found[str(path)] = hashlib.sha256(path.read_bytes()).hexdigest()
    return found
