#!/usr/bin/env python3
"""The store the end-to-end scenarios install from: ENV_DIR/www/e2e, signed with the development key
that the test build of the launcher embeds, served by the test servers at /e2e and, slowed down per
connection, at /slow/e2e (so that progress, pauses and closes meet a download in flight).

    make_e2e_store.py ENV_DIR VELKAR_PUBLISH WINDOWS_BUILD_DIR

Channel "main": a small game whose Velkar.exe is the stand-in game (tests/e2e/fixtures), with an
app-local Visual C++ runtime at the shipped installer's version (so no installer runs under Wine), the
optional group "island", the launch arguments "-log" and "-windowed", a news file, and the real
launcher offered at its own version (so only an older launcher replaces itself).
"""
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "support"))
from make_launcher_store import game_tree  # noqa: E402

MIB = 1024 * 1024
LAUNCH_ARGS = ["-log", "-windowed"]
ISLAND = "Velkar/Content/Paks/Island/**"


def payload(seed: int, size: int) -> bytes:
    return random.Random(seed).randbytes(size)


def game_files(build: Path) -> dict:
    platform = build / "tests" / "platform" / "fixtures"
    return {
        "Velkar.exe": build / "tests" / "e2e" / "fixtures" / "game_standin.exe",
        "OnlineFiles.json": b'{"servers": ["eu", "cn"]}\n',
        "OnlineFiles.sig": b"c2lnbmF0dXJl\n",
        # Outside the folders the check before a start reads: only a repair notices damage here.
        "Manual/readme.txt": b"Velkar manual\r\n",
        "Prerequisites/vc_redist.x64.exe": platform / "vc_redist_standin.exe",
        "Velkar/Binaries/Win64/msvcp140_2.dll": platform / "runtime-good" / "msvcp140_2.dll",
        "Velkar/Binaries/Win64/vcruntime140_1.dll": platform / "runtime-good" / "vcruntime140_1.dll",
        "Engine/Binaries/Win64/engine.dll": payload(2, 300 * 1024),
        # Three 8 MiB segments and two: at the slow address they take a few seconds.
        "Velkar/Content/Paks/pakchunk0-Windows.pak": payload(3, 2 * 8 * MIB + 12345),
        "Velkar/Content/Paks/pakchunk1-Windows.pak": payload(4, 9 * MIB),
        "Velkar/Content/Movies/intro.bin": payload(5, MIB),
        "Velkar/Content/Paks/Island/island-Windows.pak": payload(6, 3 * MIB),
        "Velkar/Content/Paks/Island/island-Windows.utoc": payload(7, 4096),
    }


NEWS = {"news": [
    {"date": "2026-12-01", "title": {"en": "Winter patch is live", "zh": "冬季更新已上线"},
     "body": {"en": "New island routes and faster loading.", "zh": "新增海岛航线，加载更快。"}},
    {"date": "2026-11-20", "title": {"en": "Server maintenance", "zh": "服务器维护"},
     "body": {"en": "Tuesday 02:00 to 04:00 UTC.", "zh": "周二 10:00 至 12:00（北京时间）。"}},
]}


def main() -> None:
    env_dir, tool, build = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    key = Path(os.environ.get("VELKAR_DEV_DIR", Path.home() / ".velkar-dev")) / "signing-private.pem"
    store, game = env_dir / "www" / "e2e", env_dir / "e2e-game"
    shutil.rmtree(store, ignore_errors=True)
    files = game_files(build)
    game_tree(game, files)
    args = [a for arg in LAUNCH_ARGS for a in ("--arg", arg)]
    subprocess.run([tool, "release", "--store", str(store), "--game", str(game), "--key", str(key),
                    "--channel", "main", "--build-id", "e2e-1", "--version", "1.0.0", "--launch", "Velkar.exe",
                    *args, "--group", f"island={ISLAND}", "--min-launcher", "2.0.0",
                    "--launcher-exe", str(build / "src" / "VelkarLauncher.exe"), "--launcher-version", "2.4.0"],
                   check=True, stdout=subprocess.DEVNULL)
    (store / "Shipping").mkdir(parents=True, exist_ok=True)
    (store / "Shipping" / "LauncherNews.json").write_text(json.dumps(NEWS, ensure_ascii=False), encoding="utf-8")
    # What the scenarios compare an installation with: release path -> SHA-256.
    expected = {path: hashlib.sha256(source.read_bytes() if isinstance(source, Path) else source).hexdigest()
                for path, source in files.items()}
    (env_dir / "e2e-expected.json").write_text(json.dumps({"files": expected, "launch_args": LAUNCH_ARGS,
                                                           "island": ISLAND}))


if __name__ == "__main__":
    main()
