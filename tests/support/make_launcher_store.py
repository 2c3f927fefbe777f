#!/usr/bin/env python3
"""Test data of the platform suite: the store ENV_DIR/www/launcher, signed with SIGNING_KEY, whose
releases offer launcher executables built by the Windows tree (FIXTURES_DIR) and ship the runtime
installer stand-in under Prerequisites.

    make_launcher_store.py ENV_DIR VELKAR_PUBLISH SIGNING_KEY FIXTURES_DIR

Channels:
    launcher-good    offers launcher_standin_new (2.0.0), which signals ready and cleans up
    launcher-exits   offers a launcher that ends at once
    launcher-silent  offers a launcher that never signals
    runtime          ships the installer stand-in and an app-local runtime below its version
    runtime-applocal ships the installer stand-in and an app-local runtime at its version
    runtime-bare     ships neither
"""
import shutil
import subprocess
import sys
from pathlib import Path

GAME_EXE = b"MZ stand-in game\r\n"


def publish(tool: str, key: str, store: Path, game: Path, channel: str, extra: list) -> None:
    subprocess.run([tool, "release", "--store", str(store), "--game", str(game), "--key", key, "--channel", channel,
                    "--build-id", channel, "--version", "1.0.0", "--launch", "Velkar.exe", "--min-launcher", "1.0.0",
                    *extra],
                   check=True, stdout=subprocess.DEVNULL)


def game_tree(root: Path, files: dict) -> Path:
    shutil.rmtree(root, ignore_errors=True)
    for path, source in files.items():
        target = root / path
        target.parent.mkdir(parents=True, exist_ok=True)
        if isinstance(source, Path):
            shutil.copyfile(source, target)
        else:
            target.write_bytes(source)
    return root


def main() -> None:
    env_dir, tool, key, fixtures = Path(sys.argv[1]), sys.argv[2], sys.argv[3], Path(sys.argv[4])
    store = env_dir / "www" / "launcher"
    games = env_dir / "launcher-games"

    plain = game_tree(games / "plain", {"Velkar.exe": GAME_EXE})
    for channel, exe in (("launcher-good", "launcher_standin_new.exe"), ("launcher-exits", "successor_exits.exe"),
                         ("launcher-silent", "successor_silent.exe")):
        publish(tool, key, store, plain, channel,
                ["--launcher-exe", str(fixtures / exe), "--launcher-version", "2.0.0"])

    for channel, runtime in (("runtime", "runtime-old"), ("runtime-applocal", "runtime-good")):
        tree = game_tree(games / channel, {
            "Velkar.exe": GAME_EXE,
            "Prerequisites/vc_redist.x64.exe": fixtures / "vc_redist_standin.exe",
            "Velkar/Binaries/Win64/msvcp140_2.dll": fixtures / runtime / "msvcp140_2.dll",
            "Velkar/Binaries/Win64/vcruntime140_1.dll": fixtures / runtime / "vcruntime140_1.dll",
        })
        publish(tool, key, store, tree, channel, [])
    publish(tool, key, store, plain, "runtime-bare", [])


if __name__ == "__main__":
    main()
