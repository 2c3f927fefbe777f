#!/usr/bin/env python3
"""Runs one end-to-end scenario against the real launcher; on failure saves a screenshot and prints
its path.

    run.py NAME --build WINDOWS_BUILD_DIR --env TEST_ENV_DIR --work WORK_DIR
"""
import argparse
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness.session import Paths, Session  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("name", choices=sorted(SCENARIOS))
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--env", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    options = parser.parse_args()
    paths = Paths(options.build.resolve(), options.env.resolve(), options.work.resolve())
    function, screen_size = SCENARIOS[options.name]
    started = time.monotonic()
    session = Session(options.name, paths, *screen_size)
    try:
        function(session)
    except BaseException:
        traceback.print_exc()
        try:
            print(f"e2e: screenshot of the failure: {session.screenshot('failure')}")
        except Exception as error:  # the display itself may be what failed
            print(f"e2e: no screenshot: {error}")
        return 1
    finally:
        session.close()
    print(f"e2e: {options.name} passed in {time.monotonic() - started:.1f} s (pictures in {session.folder})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
