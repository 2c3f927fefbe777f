#!/usr/bin/env python3
"""The demo's first part: the real launcher under Xvfb installs the served demo game through its
window, then starts it; a picture of each step is saved and its path printed. A failure is told in
one line (the details go to WORK_DIR/window/failure.txt) and the exit code is 1.

    demo-window.py WINDOWS_BUILD_DIR BASE_URL CHANNEL WORK_DIR

Run by scripts/demo-run, which gives it a Wine prefix of its own with no server running.
"""
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from harness import wine  # noqa: E402
from harness.display import Display  # noqa: E402
from harness.launcher import Launcher  # noqa: E402
from harness.session import Paths, Session  # noqa: E402
from harness.store import game_starts  # noqa: E402

NEWS_PANEL = (0, 300, 1000, 536)
# The first start in a new prefix also makes Wine's font and shader caches.
FIRST_WINDOW_SECONDS = 120


def show(session: Session, base_url: str, channel: str) -> list:
    """Download, progress, Ready, Play through the window; the pictures taken."""
    pictures = []
    launcher = Launcher(session, base_url=base_url, channel=channel).start()
    launcher.wait_shown(FIRST_WINDOW_SECONDS)
    launcher.wait_state("attention", "Not installed", timeout=60)
    pictures.append(session.screenshot("not-installed"))
    launcher.click("primary", "NotInstalled")
    launcher.wait_state("busy", "Downloading", timeout=60)
    # A few ticks of the progress timer, so that the speed and the time left are shown; the pointer
    # leaves the buttons, whose tooltips would cover the picture.
    session.input.move(2, 2)
    time.sleep(1.5)
    pictures.append(session.screenshot("updating"))
    launcher.wait_state("ready", "Up to date", timeout=600)
    pictures.append(session.screenshot("ready"))
    pictures.append(launcher.region(NEWS_PANEL).save_png(session.folder / "news-panel.png"))
    launcher.click("primary", "Ready", installed=True)
    deadline = time.monotonic() + 60
    while not game_starts(session.game_record):
        if time.monotonic() > deadline:
            raise AssertionError("the game did not start within 60 s of Play")
        time.sleep(0.2)
    folder, command_line = game_starts(session.game_record)[0]
    print(f"game started in {folder}: {command_line}")
    session.windows.restore(launcher.window())
    launcher.wait_dot("ready")
    launcher.close("Ready", installed=True)
    return pictures


def reason(error: BaseException) -> str:
    if isinstance(error, FileNotFoundError) and error.filename:
        return f"{error.filename} is not installed (scripts/setup installs it)"
    text = str(error).strip()
    return text.splitlines()[0] if text else type(error).__name__


def main() -> int:
    build, base_url, channel, work = Path(sys.argv[1]), sys.argv[2], sys.argv[3], Path(sys.argv[4])
    folder = work.resolve() / "window"
    display = session = None
    try:
        # The display first, then the prefix's server and services under it.
        display = Display()
        wine.start_server(wine.environment(display.name))
        session = Session("window", Paths(build.resolve(), work.resolve(), work.resolve()), display=display)
        pictures = show(session, base_url, channel)
    except Exception as error:
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "failure.txt").write_text(traceback.format_exc())
        where = f"details in {folder / 'failure.txt'}"
        if session:
            try:
                where += f", the screen in {session.screenshot('failure')}"
            except Exception:
                pass
        print(f"demo: the launcher's window part failed: {reason(error)} ({where})", file=sys.stderr)
        return 1
    finally:
        if session:
            session.close()
        elif display:
            display.close()
    print("screenshots:")
    for picture in pictures:
        print(f"  {picture}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
