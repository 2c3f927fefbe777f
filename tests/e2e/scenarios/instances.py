"""More than one launcher process: a second start hands over to the first, and an older launcher
replaces itself with the published one."""
import json
import time

from harness.launcher import CLASS, Launcher

from .common import install, snapshot, started, store


def second_start(session) -> None:
    """A second start while the first runs minimised brings the first to the front and exits 0
    without writing anything; with a request file present, the first starts the requested work."""
    the_store = store(session)
    launcher = started(session)
    install(launcher)
    launcher.click("minimize", "Ready", installed=True)
    launcher.window(check=lambda w: w.iconic)
    before = snapshot(launcher.folder, session.user_data)
    second = session.start([launcher.exe], "second.log")
    assert second.wait(timeout=15) == 0
    assert snapshot(launcher.folder, session.user_data) == before, "the second start wrote files"
    launcher.window(check=lambda w: not w.iconic and w.foreground)
    launcher.wait_dot("ready")

    request = launcher.metadata / "request.json"
    request.write_text(json.dumps({"groups": ["island"]}))
    assert session.start([launcher.exe], "third.log").wait(timeout=15) == 0
    # The launcher takes the request in with the release check it starts, and starts the update in the
    # same step; a small group may be fetched before any frame showing the work is photographed, so
    # the request's removal, not the status dot, tells that the work began.
    deadline = time.monotonic() + 20
    while request.exists():
        assert time.monotonic() < deadline, "the request is still there"
        time.sleep(0.1)
    launcher.wait_state("ready", "Up to date", timeout=60)
    the_store.check_install(launcher.install_dir, island=True)
    assert launcher.close("Ready", installed=True) == 0


def self_update(session) -> None:
    """A launcher one version behind the published one downloads it, replaces its own executable and
    the new launcher's window appears; the old process ends with 0."""
    published = session.paths.launcher.read_bytes()
    launcher = Launcher(session, exe=session.paths.fixture("VelkarLauncherOlder.exe")).start()
    first = launcher.window()
    assert launcher.exit_code(timeout=30) == 0
    deadline = time.monotonic() + 30
    while True:
        window = session.windows.find(CLASS, "Velkar")
        if window and window.handle != first.handle and window.width > 1:
            break
        assert time.monotonic() < deadline, "no new launcher window"
        time.sleep(0.1)
    assert launcher.exe.read_bytes() == published, "the executable was not replaced by the published one"
    launcher.wait_state("attention", "Not installed")
    session.screenshot("new-launcher")
    launcher.click("close", "NotInstalled")
    session.windows.wait_gone(CLASS, "Velkar")


SCENARIOS = {
    "second_start": (second_start, (1280, 800)),
    "self_update": (self_update, (1280, 800)),
}
