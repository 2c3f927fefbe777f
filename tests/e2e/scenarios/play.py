"""Starting the game: the file check, the release's command line, offline starts, the repair question
and the game's own repair request."""
import time

from harness import wine
from harness.store import game_starts

from .common import install, started, store

OFFLINE = " -KTOfflineOnly"


def expected_command_line(launcher, offline: bool) -> str:
    exe = wine.windows_path(launcher.install_dir) + "\\Velkar.exe"
    return f'"{exe}" ' + " ".join(store(launcher.session).launch_args) + (OFFLINE if offline else "")


def wait_starts(session, count: int, timeout: float = 20) -> list:
    deadline = time.monotonic() + timeout
    while len(game_starts(session.game_record)) < count:
        assert time.monotonic() < deadline, f"the game started {len(game_starts(session.game_record))} times"
        time.sleep(0.1)
    return game_starts(session.game_record)


def assert_start(launcher, start: tuple, offline: bool) -> None:
    folder, command_line = start
    assert folder.lower().rstrip("\\") == wine.windows_path(launcher.install_dir).lower(), folder
    assert command_line == expected_command_line(launcher, offline), command_line


def assert_no_more_starts(session, count: int, seconds: float = 1.0) -> None:
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        assert len(game_starts(session.game_record)) == count, game_starts(session.game_record)
        time.sleep(0.1)


def play(session) -> None:
    """Play: Enter held down starts the game once; the file check passes, the game starts with the
    release's arguments in the install folder and the launcher minimises; Offline adds the offline
    switch."""
    launcher = started(session)
    install(launcher)
    # Enter held down, while the window still has the keyboard focus Wine gave it when it was created.
    # The X server repeats the key and Wine's keyboard driver hands the repeats over as key-downs of a
    # key already down, as Windows does for a held key: the launcher's own reading of them is what this
    # exercises (a WM_KEYDOWN posted with the flag set by hand would only restate it). The repeat is sped
    # up (after 10 ms, then every 5 ms) so that a dozen repeats and more arrive while the file check
    # runs. If a repeat pressed Play again it would pause the check, and with repeats coming faster than
    # any check ends no check could finish while the key is down: the game must start from the press,
    # with Enter still held, and never again after it. (Repeats that reach the minimised launcher before
    # the release come as system keys, Wine having no other window to activate, and Enter then restores
    # it as Windows' default handling does: whether it stays minimised is not this step's business.)
    with session.x_server.key_repeat(10, 5), session.input.held("Return"):
        assert_start(launcher, wait_starts(session, 1)[0], offline=False)
    session.windows.restore(launcher.window())
    launcher.wait_state("ready", "Up to date")
    assert_no_more_starts(session, 1)
    launcher.click("primary", "Ready", installed=True)
    assert_start(launcher, wait_starts(session, 2)[1], offline=False)
    launcher.window(check=lambda w: w.iconic)
    session.windows.restore(launcher.window())
    launcher.wait_state("ready", "Up to date")
    launcher.click("offline", "Ready", installed=True)
    starts = wait_starts(session, 3)
    assert_start(launcher, starts[2], offline=True)
    assert len(game_starts(session.game_record)) == 3
    session.windows.restore(launcher.window())
    launcher.wait_dot("ready")
    assert launcher.close("Ready", installed=True) == 0


QUESTION = "Game file missing or changed: OnlineFiles.json"


def changed_file(session) -> None:
    """A changed file at Play: the question; Cancel does nothing, No starts offline, Yes repairs and
    starts the game once."""
    launcher = started(session)
    install(launcher)
    changed = launcher.install_dir / "OnlineFiles.json"
    changed.write_bytes(b'{"servers": ["mine"]}\n')

    def ask() -> object:
        launcher.click("primary", "Ready", installed=True)
        box = launcher.message_box()
        assert QUESTION in launcher.message_text(box), launcher.message_text(box)
        return box

    launcher.answer(ask(), "Escape")
    launcher.wait_dot("ready")
    assert game_starts(session.game_record) == []
    launcher.answer(ask(), "n")
    assert_start(launcher, wait_starts(session, 1)[0], offline=True)
    session.windows.restore(launcher.window())
    launcher.wait_dot("ready")
    launcher.answer(ask(), "y")
    starts = wait_starts(session, 2, timeout=60)
    assert_start(launcher, starts[1], offline=False)
    store(session).check_install(launcher.install_dir)
    session.windows.restore(launcher.window())
    launcher.wait_dot("ready")
    assert len(game_starts(session.game_record)) == 2
    assert launcher.close("Ready", installed=True) == 0


def repair_request(session) -> None:
    """The game asks for a repair while it runs: the launcher waits for it to exit, repairs, starts it
    again once and deletes the request."""
    launcher = started(session)
    install(launcher)
    # A file the check before a start does not read, so only the repair notices it.
    damaged = launcher.install_dir / "Manual" / "readme.txt"
    damaged.write_bytes(b"damaged")
    session.game_hold.touch()
    session.game_ask_repair.touch()
    launcher.click("primary", "Ready", installed=True)
    wait_starts(session, 1)
    deadline = time.monotonic() + 10
    while session.game_ask_repair.exists() or not (launcher.metadata / "repair.request").exists():
        assert time.monotonic() < deadline, "the game left no repair request"
        time.sleep(0.1)
    # The running game holds the repair back.
    session.windows.restore(launcher.window())
    for _ in range(10):
        assert launcher.dot() != "busy", "an update ran while the game was running"
        time.sleep(0.1)
    session.game_hold.unlink()
    starts = wait_starts(session, 2, timeout=60)
    assert_start(launcher, starts[1], offline=False)
    store(session).check_install(launcher.install_dir)
    assert not (launcher.metadata / "repair.request").exists(), "the request is still there"
    session.windows.restore(launcher.window())
    launcher.wait_dot("ready")
    assert len(game_starts(session.game_record)) == 2
    assert launcher.close("Ready", installed=True) == 0


SCENARIOS = {
    "play": (play, (1280, 800)),
    "changed_file": (changed_file, (1280, 800)),
    "repair_request": (repair_request, (1280, 800)),
}
