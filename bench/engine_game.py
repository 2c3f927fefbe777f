#!/usr/bin/env python3
"""Generated games for bench/run-engine.

    engine_game.py large FOLDER MEGABYTES FILES   a few big paks carry 70% of the bytes, the other
                                                  files are small to medium (Pareto sizes)
    engine_game.py small FOLDER FILES             tiny files of 200 to 2000 bytes in folders of 1000,
                                                  the content following from the size

Every file lies under Velkar/ (plus Velkar.exe at the root), so the check before launch covers all of
them. In the large game every file's content is distinct, so each one is a blob of its own; in the
small one files of the same size share a blob (at most 1801 blobs), which keeps the one-time install
of 100,000 files short: under Wine, every new name in a folder of many thousand entries costs a scan
of the whole folder. The bytes are slices of one random pool behind a header: incompressible, without
generating gigabytes of random numbers.
"""
import random
import sys
from pathlib import Path

MIB = 1024 * 1024
POOL = random.Random(2026).randbytes(64 * MIB)


def write_file(path: Path, index: int, size: int) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    header = f"velkar bench file {index}\n".encode()
    with open(path, "wb") as out:
        out.write(header[:size])
        left = size - min(size, len(header))
        offset = (index * 7919) % len(POOL)
        while left > 0:
            piece = POOL[offset : offset + left]
            out.write(piece)
            left -= len(piece)
            offset = 0


def large(root: Path, megabytes: float, count: int) -> None:
    rng = random.Random(7)
    total = int(megabytes * MIB)
    big = max(1, count // 200)
    sizes = [int(total * 0.7 / big)] * big
    weights = [rng.paretovariate(1.2) for _ in range(count - big - 1)]
    scale = (total - sum(sizes)) / sum(weights) if weights else 0
    sizes += [max(64, int(w * scale)) for w in weights]
    write_file(root / "Velkar.exe", 0, 2 * MIB)
    for i, size in enumerate(sizes, start=1):
        folder = "Content/Paks" if i <= big else f"Content/Data{i % 37}/Sub{i % 11}"
        write_file(root / "Velkar" / folder / f"file{i}.bin", i, size)


def small(root: Path, count: int) -> None:
    rng = random.Random(11)
    write_file(root / "Velkar.exe", 0, 2048)
    for i in range(1, count):
        size = rng.randint(200, 2000)
        write_file(root / "Velkar" / "Content" / f"Dir{i // 1000:03}" / f"f{i}.uasset", size, size)


def main() -> None:
    kind, root = sys.argv[1], Path(sys.argv[2])
    if kind == "large" and len(sys.argv) == 5:
        large(root, float(sys.argv[3]), int(sys.argv[4]))
    elif kind == "small" and len(sys.argv) == 4:
        small(root, int(sys.argv[3]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
