"""Closing while work runs: the confirmation, and an orderly exit that the next start resumes from."""
from harness.launcher import Launcher

from .common import started, store

CONFIRM = "An update is running. Quit anyway? Downloaded data is kept and resumes next time."


def close_during_update(session) -> None:
    """Close during an update asks; No continues; Yes stops and exits 0; the next start resumes."""
    the_store = store(session)
    slow = session.paths.store_url(slow=True)
    launcher = started(session, base_url=slow)
    launcher.prepare_layouts("NotInstalled", "Updating")
    launcher.wait_state("attention", "Not installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("busy", "Downloading")
    launcher.click("close", "Updating")
    box = launcher.message_box()
    assert CONFIRM in launcher.message_text(box), launcher.message_text(box)
    session.screenshot("close-question")
    launcher.answer(box, "n")
    launcher.wait_dot("busy")
    assert launcher.process.poll() is None, "the launcher ended after No"
    launcher.click("close", "Updating")
    launcher.answer(launcher.message_box(), "y")
    assert launcher.exit_code(timeout=10) == 0

    launcher = Launcher(session, base_url=slow).start()
    launcher.wait_state("attention", "Not installed")
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("ready", "Up to date", timeout=60)
    the_store.check_install(launcher.install_dir)
    assert launcher.close("Ready", installed=True) == 0


def exit_order(session, runs: int = 20) -> None:
    """Closing during an update or the file check before a start, many times in a row: every run ends
    with exit code 0, and each next start picks up where the last one stopped."""
    slow = session.paths.store_url(slow=True)
    launcher = started(session, base_url=slow)
    launcher.prepare_layouts("NotInstalled", "Updating")
    launcher.prepare_layouts("Ready", installed=True)
    for run in range(runs):
        launcher.wait_dot("attention", "ready")
        installed = launcher.dot() == "ready"
        print(f"run {run + 1}: {'file check' if installed else 'update'}", flush=True)
        launcher.click("primary", "Ready" if installed else "NotInstalled", installed=installed)
        launcher.wait_dot("busy")
        launcher.click("close", "Updating")
        launcher.answer(launcher.message_box(), "y")
        code = launcher.exit_code(timeout=10)
        assert code == 0, f"run {run + 1} ended with {code}"
        launcher = Launcher(session, base_url=slow).start()
        launcher.window()
    launcher.wait_dot("attention", "ready")
    if launcher.dot() == "attention":
        launcher.click("primary", "NotInstalled")
        launcher.wait_state("ready", "Up to date", timeout=60)
    store(session).check_install(launcher.install_dir)
    assert launcher.close("Ready", installed=True) == 0


SCENARIOS = {
    "close_during_update": (close_during_update, (1280, 800)),
    "exit_order": (exit_order, (1280, 800)),
}
