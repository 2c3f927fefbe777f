"""Installing through the window: the first start, a pause across a restart, the full map, and an
install folder that holds the player's own files."""
import time

from harness import wine
from harness.launcher import Launcher

from .common import full_map_size, install, started, store, wait_recorded


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
    launcher.prepare_layouts("NotInstalled", "Updating", "Paused")
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
    # A small group may be fetched before any frame of the update is photographed: the record tells
    # when it is done.
    wait_recorded(launcher, {path for path in the_store.files if the_store.is_island(path)})
    launcher.wait_state("ready", "Up to date", timeout=60)
    fetched = {r.blob for r in the_store.requests_since(before) if r.blob}
    assert fetched == the_store.island_blobs(), f"fetched {fetched}, the group is {the_store.island_blobs()}"
    the_store.check_install(launcher.install_dir, island=True)
    assert '"island"' in (launcher.metadata / "groups.json").read_text()
    assert launcher.close("Ready", installed=True) == 0


# The player's own files in a folder they pick: some in a Velkar folder of their own.
PLAYERS = {"Velkar/notes.txt": b"my notes\r\n", "Velkar/Content/Paks/~mods/m.pak": b"my mod",
           "Engine/x.txt": b"not the game's"}
FOREIGN = {"notes.txt": b"my notes\r\n", "Engine/x.txt": b"not the game's"}


def write_files(folder, files: dict) -> None:
    for path, data in files.items():
        (folder / path).parent.mkdir(parents=True, exist_ok=True)
        (folder / path).write_bytes(data)


def assert_untouched(folder, files: dict) -> None:
    for path, data in files.items():
        assert (folder / path).is_file() and (folder / path).read_bytes() == data, f"{path} changed or deleted"


def pick(launcher, folder, state: str, **flags):
    """Picks the folder; the install folder the launcher took up, or None when it declined with a message."""
    before = launcher.setting("InstallDir")
    launcher.click("folder", state, **flags)
    launcher.pick_folder(wine.windows_path(folder))
    deadline = time.monotonic() + 10
    while launcher.setting("InstallDir") == before:
        box = launcher.session.windows.find("#32770", "Velkar")
        if box:
            launcher.answer(box, "Return")
            return None
        assert time.monotonic() < deadline, "the pick neither changed the install folder nor said why"
        time.sleep(0.1)
    return launcher.setting("InstallDir")


def install_folder(session) -> None:
    """A picked folder that holds the player's files keeps them through a download: one whose Velkar
    folder is the player's own is declined, another gets the game in a Velkar subfolder."""
    players, games = session.folder / "Player", session.folder / "Games"
    write_files(players, PLAYERS)
    write_files(games, FOREIGN)
    launcher = started(session)
    launcher.wait_state("attention", "Not installed")
    taken = pick(launcher, players, "NotInstalled")
    if taken:
        launcher.install_dir = wine.linux_path(taken)
    assert taken is None or taken.lower().endswith("\\velkar"), taken
    launcher.wait_dot("attention")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    assert_untouched(players, PLAYERS)

    taken = pick(launcher, games, "Ready", installed=True)
    assert taken and taken.lower() == (wine.windows_path(games) + "\\Velkar").lower(), taken
    launcher.install_dir = wine.linux_path(taken)
    launcher.wait_state("attention", "Not installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    store(session).check_install(launcher.install_dir)
    assert_untouched(games, FOREIGN)
    assert launcher.close("Ready", installed=True) == 0


SCENARIOS = {
    "first_start": (first_start, (1280, 800)),
    "pause_resume": (pause_resume, (1280, 800)),
    "full_map": (full_map, (1280, 800)),
    "install_folder": (install_folder, (1280, 800)),
}
