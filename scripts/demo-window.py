#!/usr/bin/env python3
"""The demo's first part: the real launcher under Xvfb installs the served demo game through its
window, then starts it; a picture of each step is saved and its path printed.

    demo-window.py WINDOWS_BUILD_DIR BASE_URL CHANNEL WORK_DIR
"""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from harness.launcher import Launcher  # noqa: E402
from harness.session import Paths, Session  # noqa: E402
from harness.store import game_starts  # noqa: E402

NEWS_PANEL = (0, 300, 1000, 536)


def main() -> int:
    build, base_url, channel, work = Path(sys.argv[1]), sys.argv[2], sys.argv[3], Path(sys.argv[4])
    session = Session("window", Paths(build.resolve(), work.resolve(), work.resolve()))
    pictures = []
    try:
        launcher = Launcher(session, base_url=base_url, channel=channel).start()
        launcher.wait_state("attention", "Not installed")
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
                raise AssertionError("the game did not start")
            time.sleep(0.2)
        folder, command_line = game_starts(session.game_record)[0]
        print(f"game started in {folder}: {command_line}")
        session.windows.restore(launcher.window())
        launcher.wait_dot("ready")
        launcher.close("Ready", installed=True)
    except BaseException:
        print(f"demo: the window part failed; the screen is in {session.screenshot('failure')}", file=sys.stderr)
        raise
    finally:
        session.close()
    print("screenshots:")
    for picture in pictures:
        print(f"  {picture}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
