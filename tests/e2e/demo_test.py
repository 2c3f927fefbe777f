#!/usr/bin/env python3
"""The README's first command, shortened: scripts/demo-run (the demo's window part and headless part)
against the end-to-end test store instead of a published 300 MB demo game.

    demo_test.py CASE --build WINDOWS_BUILD_DIR --env TEST_ENV_DIR --work WORK_DIR

runs          What an earlier run can leave in the prefix: a lasting server whose desktop a first program
              made without a display (the demo's own preparation until now, and what a test run or a
              bench leaves), and a launcher of an interrupted demo that still holds the single-instance
              lock. The window part still shows the launcher, takes every picture and starts the game,
              and the headless part installs and verifies.
window_fails  No X server can be started: the demo says so in one line, still runs the headless part,
              and exits 1.
"""
import argparse
import os
import re
import shutil
import stat
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import screen, wine  # noqa: E402
from harness.display import Display  # noqa: E402
from harness.session import Paths  # noqa: E402
from harness.windows import Windows  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def demo_run(paths: Paths, env: dict) -> subprocess.CompletedProcess:
    # The slowed address: the test store is a tenth of the demo game, and on a fast machine its download
    # at full speed ends between two looks at the window, so the progress picture would never be taken.
    command = [ROOT / "scripts" / "demo-run", paths.build, paths.store_url(slow=True), "main", paths.work]
    result = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=500)
    print(result.stdout)
    print(result.stderr, file=sys.stderr)
    return result


def prefix_environment(paths: Paths) -> dict:
    """The environment of scripts/wine-env for the demo's prefix, without a display."""
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    env["VELKAR_WINEPREFIX"] = str(paths.work / "wine")
    script = f'source "{ROOT}/scripts/wine-env" && env -0'
    output = subprocess.run(["bash", "-c", script], env=env, capture_output=True, check=True).stdout
    return dict(line.split("=", 1) for line in output.decode().split("\0") if "=" in line)


def headless_finished(result: subprocess.CompletedProcess) -> None:
    assert "verify: every checked file matches the signed release" in result.stdout, "the headless part did not run"


def leave_launcher_running(paths: Paths, env: dict) -> None:
    """A launcher of the store, shown on the environment's display, left running."""
    folder = paths.work / "left-running"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(paths.launcher, folder / "VelkarLauncher.exe")
    (folder / "launcher.cfg").write_text(f"BaseUrl={paths.store_url()}\nChannel=main\n")
    wine.start([folder / "VelkarLauncher.exe"], env, folder / "launcher.log")
    windows = Windows(paths.fixture("window_probe.exe"), env)
    try:
        windows.wait("VelkarLauncher", "Velkar", timeout=120)
    finally:
        windows.close()


def runs(paths: Paths) -> None:
    env = prefix_environment(paths)
    subprocess.run([ROOT / "scripts" / "wine-prefix"], env=env, check=True, **QUIET)
    subprocess.run(["wineserver", "-p"], env=env, **QUIET)
    subprocess.run(["wine", "cmd", "/c", "exit"], env=env, timeout=120, **QUIET)
    with Display() as other:
        leave_launcher_running(paths, wine.environment(other.name, env))
        result = demo_run(paths, env)
    assert result.returncode == 0, f"exit code {result.returncode}"
    assert "game started in" in result.stdout
    pictures = [Path(p) for p in re.findall(r"^  (/\S+\.png)$", result.stdout, re.MULTILINE)]
    assert [re.sub(r"^\d+-", "", p.stem) for p in pictures] == ["not-installed", "updating", "ready", "news-panel"], pictures
    for picture in pictures:
        image = screen.load_png(picture)
        colours = {image.pixel(x, y) for y in range(0, image.height, 7) for x in range(0, image.width, 7)}
        assert len(colours) > 50, f"{picture} shows almost nothing ({len(colours)} colours)"
    headless_finished(result)


def window_fails(paths: Paths) -> None:
    stubs = paths.work / "no-x-server"
    stubs.mkdir(parents=True, exist_ok=True)
    xvfb = stubs / "Xvfb"
    xvfb.write_text("#!/bin/sh\nexit 1\n")
    xvfb.chmod(xvfb.stat().st_mode | stat.S_IXUSR)
    env = dict(os.environ, PATH=f"{stubs}:{os.environ['PATH']}")
    env.pop("DISPLAY", None)

    result = demo_run(paths, env)
    assert result.returncode == 1, f"exit code {result.returncode}"
    told = [line for line in result.stderr.splitlines() if "no X display" in line]
    assert len(told) == 1 and told[0].startswith("demo: the launcher's window part failed"), result.stderr
    assert "Traceback" not in result.stderr
    headless_finished(result)


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["runs", "window_fails"])
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--env", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    options = parser.parse_args()
    paths = Paths(options.build.resolve(), options.env.resolve(), options.work.resolve())
    paths.work.mkdir(parents=True, exist_ok=True)
    {"runs": runs, "window_fails": window_fails}[options.case](paths)
    print(f"demo.{options.case} passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
