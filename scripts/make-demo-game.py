#!/usr/bin/env python3
"""Generates the demo game: a few hundred MB in a few hundred files, laid out like the real game,
with an optional full map (the files under Velkar/Content/Paks/Island).

    make-demo-game.py FOLDER [MEGABYTES]
"""
import random
import sys
from pathlib import Path

MIB = 1024 * 1024


def main() -> None:
    root = Path(sys.argv[1])
    budget = int(sys.argv[2]) * MIB if len(sys.argv) > 2 else 300 * MIB
    rng = random.Random(2026)
    files = {
        "Velkar.exe": 2 * MIB,
        "OnlineFiles.json": 2048,
        "OnlineFiles.sig": 512,
        "Engine/Binaries/Win64/tbb.dll": 600 * 1024,
        "Velkar/Binaries/Win64/Velkar-Win64-Shipping.exe": 40 * MIB,
    }
    for i in range(4):
        files[f"Velkar/Content/Paks/pakchunk{i}-Windows.pak"] = budget // 8
    for i in range(2):
        files[f"Velkar/Content/Paks/Island/island{i}-Windows.pak"] = budget // 10
    remaining = budget - sum(files.values())
    for i in range(300):
        files[f"Engine/Content/Slate/Icons/icon{i:03}.uasset"] = max(1024, remaining // 400)
    for i in range(100):
        files[f"Velkar/Content/Movies/clip{i:03}.bk2"] = max(1024, remaining // 140)
    for path, size in files.items():
        target = root / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(rng.randbytes(size))
    print(f"demo game: {len(files)} files, {sum(files.values()) // MIB} MB in {root}")


if __name__ == "__main__":
    main()
