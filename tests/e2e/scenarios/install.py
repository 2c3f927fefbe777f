"""Installing through the window: the first start, a pause across a restart, the full map, and an
install folder that holds the player's own files."""
import time

from harness import wine
from harness.launcher import Launcher

from .common import full_map_size, install, started, store


def first_start(session) -> None:
    """Not installed -> Download -> progress with speed and time left -> Ready, byte for byte."""
    launcher = started(session, base_url=session.paths.store_url(slow=True))
    launcher.wait_state("attention", "Not installed")
    session.screenshot("not-installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("busy", "Downloading")
    # The detail line is cut to its box; its tooltip shows it whole, speed and time left included.
    window = launcher.window()
    deadline = time.monotonic() + 10
    text = ""
    while time.monotonic() < deadline:
        session.input.move(*launcher.point(120, 589, window))
        text = launcher.tooltip_text()
        if "/s" in text and "left" in text:
            break
        session.input.move(*launcher.point(500, 300, window))
    assert "/s" in text and "left" in text, f"no speed and time left in {text!r}"
    session.screenshot("downloading")
    launcher.wait_state("ready", "Up to date", timeout=60)
    store(session).check_install(launcher.install_dir)
    session.screenshot("ready")
    assert launcher.close("Ready", installed=True) == 0


def pause_resume(session) -> None:
    """Pause mid-download, close, start again: the download resumes without fetching finished ranges
    again, and ends Ready."""
    the_store = store(session)
    launcher = started(session, base_url=session.paths.store_url(slow=True))
    launcher.wait_state("attention", "Not installed")
    before = the_store.log_position()
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("busy", "Downloading")
    # Wait for some blob to have arrived whole while others are still in flight.
    deadline = time.monotonic() + 20
    while not any(r.blob and r.complete for r in the_store.requests_since(before)):
        assert time.monotonic() < deadline, "no blob arrived"
        time.sleep(0.1)
    # Ranges the server had sent whole before the pause: the launcher had them by then.
    finished = {(r.blob, r.range) for r in the_store.requests_since(before) if r.blob and r.complete}
    launcher.click("primary", "Updating")
    launcher.wait_state("attention", "Paused")
    assert launcher.close("Paused") == 0

    restart = the_store.log_position()
    launcher = Launcher(session, "launcher", base_url=session.paths.store_url(slow=True))
    launcher.start()
    launcher.wait_dot("attention")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    again = {(r.blob, r.range) for r in the_store.requests_since(restart) if r.blob}
    assert not finished & again, f"fetched again after the restart: {sorted(finished & again)}"
    the_store.check_install(launcher.install_dir)
    assert launcher.close("Ready", installed=True) == 0


def full_map(session) -> None:
    """Adding the island group from the notice fetches only its files."""
    the_store = store(session)
    launcher = started(session)
    install(launcher)
    before = the_store.log_position()
    launcher.click("fullmap", "Ready", installed=True, full_map=full_map_size(session))
    launcher.wait_dot("busy")
    launcher.wait_state("ready", "Up to date", timeout=60)
    fetched = {r.blob for r in the_store.requests_since(before) if r.blob}
    assert fetched == the_store.island_blobs(), f"fetched {fetched}, the group is {the_store.island_blobs()}"
    the_store.check_install(launcher.install_dir, island=True)
    assert '"island"' in (launcher.metadata / "groups.json").read_text()
    assert launcher.close("Ready", installed=True) == 0


FOREIGN = {"Velkar/notes.txt": b"my notes\r\n", "Velkar/Content/Paks/~mods/m.pak": b"my mod",
           "Engine/x.txt": b"not the game's"}


def install_folder(session) -> None:
    """Picking a folder that holds other files installs into its Velkar subfolder and leaves them."""
    chosen = session.folder / "Games"
    for path, data in FOREIGN.items():
        (chosen / path).parent.mkdir(parents=True, exist_ok=True)
        (chosen / path).write_bytes(data)
    launcher = started(session)
    launcher.wait_state("attention", "Not installed")
    launcher.click("folder", "NotInstalled")
    picker = session.windows.wait("#32770", "Choose the game folder")
    session.windows.bring_to_front(picker)
    session.input.type(wine.windows_path(chosen))
    session.input.key("Return")
    session.windows.wait_gone("#32770", "Choose the game folder")
    settings = (session.user_data / "settings.cfg").read_text(encoding="utf-8")
    install_dir = next(line[11:] for line in settings.splitlines() if line.startswith("InstallDir="))
    assert install_dir.lower().startswith(wine.windows_path(chosen).lower() + "\\"), install_dir
    assert install_dir.lower().endswith("\\velkar"), install_dir
    launcher.install_dir = chosen / install_dir[len(wine.windows_path(chosen)) + 1:].replace("\\", "/")
    launcher.wait_state("attention", "Not installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    store(session).check_install(launcher.install_dir)
    for path, data in FOREIGN.items():
        assert (chosen / path).read_bytes() == data, f"{path} changed or deleted"
    assert launcher.close("Ready", installed=True) == 0


SCENARIOS = {
    "first_start": (first_start, (1280, 800)),
    "pause_resume": (pause_resume, (1280, 800)),
    "full_map": (full_map, (1280, 800)),
    "install_folder": (install_folder, (1280, 800)),
}
