#!/usr/bin/env python3
"""Helpers of bench/run-engine.

    engine_bench.py release STORE CHANNEL BASE_URL OUT_DIR
        Reads the channel's release and writes OUT_DIR/aria2c.txt (aria2c input file),
        OUT_DIR/curl.cfg (curl config, outputs in OUT_DIR/curl) and OUT_DIR/urls.txt (one URL a line)
        naming every blob once; prints
        "build_id blobs blob_bytes files file_bytes covered_bytes" (covered: checked before launch).
    engine_bench.py seed STORE CHANNEL INSTALL_DIR
        Records the channel's release as installed in INSTALL_DIR/.vklauncher/installed.json, in the
        form the updater writes after an update (for a game tree placed in INSTALL_DIR).
    engine_bench.py kept DOWNLOADS_DIR
        Bytes the download store holds for good: complete blobs plus the finished segments that the
        ".seg" lists name.
    engine_bench.py split INSTALL_DIR PARTS OUT_PREFIX
        Splits the installation's files (its metadata folder aside) into PARTS lists of about equal
        bytes, largest files first, each to OUT_PREFIX.<n> as NUL-separated paths.
    engine_bench.py watch FOLDER NAME OUT
        Until terminated, counts how often FOLDER/NAME is replaced (renamed into place, as an atomic
        write does) and adds up its size after each replacement; then writes "saves bytes" to OUT.
        A replacement that follows before the size is read makes the sum larger, never smaller.
    engine_bench.py table RESULTS
        Prints the table of the results file written by run-engine.
"""
import ctypes
import json
import os
import re
import signal
import statistics
import struct
import sys
from pathlib import Path

SEGMENT = 8 * 1024 * 1024
# The updater's download workers: at most 24, and at most four for each processor it sees (under
# Wine, this machine's).
WORKERS = min(24, 4 * (os.cpu_count() or 1))
MIB = 1024 * 1024
GIB = 1024 * MIB


def load_release(store: Path, channel: str) -> dict:
    manifest = json.loads((store / "channels" / channel / "windows.json").read_text())
    return json.loads((store / manifest["release"]).read_text())


def launch_checked(path: str) -> bool:
    return path.startswith(("Engine/", "Velkar/")) or path in ("Velkar.exe", "OnlineFiles.json", "OnlineFiles.sig")


def release(store: str, channel: str, base_url: str, out_dir: str) -> None:
    files = load_release(Path(store), channel)
    blobs = {f["sha256"]: f["size"] for f in files["files"]}
    out = Path(out_dir)
    with open(out / "aria2c.txt", "w") as aria2c, open(out / "curl.cfg", "w") as curl, \
            open(out / "urls.txt", "w") as urls:
        for digest in sorted(blobs):
            url = f"{base_url}/blobs/{digest}"
            urls.write(url + "\n")
            aria2c.write(f"{url}\n  out={digest}\n")
            curl.write(f'url = "{url}"\noutput = "{out / "curl" / digest}"\n')
    file_bytes = sum(f["size"] for f in files["files"])
    covered = sum(f["size"] for f in files["files"] if launch_checked(f["path"]))
    print(files["build_id"], len(blobs), sum(blobs.values()), len(files["files"]), file_bytes, covered)


def seed(store: str, channel: str, install_dir: str) -> None:
    files = load_release(Path(store), channel)
    state = {
        "build_id": files["build_id"],
        "files": {f["path"]: {"sha256": f["sha256"], "size": f["size"]} for f in files["files"]},
    }
    metadata = Path(install_dir) / ".vklauncher"
    metadata.mkdir(parents=True, exist_ok=True)
    (metadata / "installed.json").write_text(json.dumps(state, indent=2))


def kept(downloads: str) -> None:
    total = 0
    for entry in os.scandir(downloads):
        if re.fullmatch(r"[0-9a-f]{64}", entry.name):
            total += entry.stat().st_size
        elif entry.name.endswith(".part"):
            size = entry.stat().st_size
            seg = Path(downloads) / (entry.name[: -len(".part")] + ".seg")
            done = {int(line) for line in seg.read_text().split()} if seg.exists() else set()
            total += sum(min(size, (i + 1) * SEGMENT) - i * SEGMENT for i in done if i * SEGMENT < size)
    print(total)


def split(install_dir: str, parts: str, out_prefix: str) -> None:
    files = []
    for folder, dirs, names in os.walk(install_dir):
        if folder == install_dir:
            dirs[:] = [d for d in dirs if d != ".vklauncher"]
        files += [(os.path.getsize(os.path.join(folder, n)), os.path.join(folder, n)) for n in names]
    lists = [[0, []] for _ in range(int(parts))]
    for size, path in sorted(files, reverse=True):
        lightest = min(lists, key=lambda entry: entry[0])
        lightest[0] += size
        lightest[1].append(path)
    for n, (_, paths) in enumerate(lists):
        Path("%s.%d" % (out_prefix, n)).write_bytes(b"".join(p.encode() + b"\0" for p in paths))


def watch(folder: str, name: str, out: str) -> None:
    libc = ctypes.CDLL(None, use_errno=True)
    in_moved_to, in_close_write = 0x80, 0x08
    fd = libc.inotify_init()
    if fd < 0 or libc.inotify_add_watch(fd, folder.encode(), in_moved_to | in_close_write) < 0:
        sys.exit("watch: cannot watch %s (errno %d)" % (folder, ctypes.get_errno()))
    saves = total = 0

    def finish(*_):
        Path(out).write_text("%d %d\n" % (saves, total))
        sys.exit(0)

    signal.signal(signal.SIGTERM, finish)
    Path(out + ".ready").touch()
    while True:
        data = os.read(fd, 65536)
        offset = 0
        while offset < len(data):
            _, mask, _, length = struct.unpack_from("iIII", data, offset)
            entry = data[offset + 16 : offset + 16 + length].rstrip(b"\0").decode()
            offset += 16 + length
            if entry == name and mask & (in_moved_to | in_close_write):
                try:
                    total += os.stat(os.path.join(folder, name)).st_size
                    saves += 1
                except FileNotFoundError:
                    pass


# --- The table ---------------------------------------------------------------------------------------


def read_results(path: str):
    runs, facts = {}, {}
    for line in open(path):
        words = line.split()
        if words[0] == "fact":
            facts[words[1]] = " ".join(words[2:])
        else:
            seconds = float(words[1])
            rss = None if words[2] == "-" else int(words[2]) * 1024
            runs.setdefault(words[0], []).append((seconds, rss))
    return runs, facts


def size(n: float) -> str:
    return "%.2f GiB" % (n / GIB) if n >= GIB else "%.1f MiB" % (n / MIB)


def table(path: str) -> None:
    runs, facts = read_results(path)
    fact = lambda name: float(facts[name])
    median = lambda name: statistics.median(s for s, _ in runs[name])
    row = "  %-54s %9s %15s %16s %10s %6s"

    def line(label, name, work=None, unit="", ours=None):
        """One measured command; returns its rate (work per second) so baselines can be compared with it."""
        seconds = [s for s, _ in runs[name]]
        rss = [r for _, r in runs[name] if r is not None]
        rate = work / median(name) if work else None
        shown = {"MiB/s": lambda r: "%.1f MiB/s" % (r / MIB), "files/s": lambda r: "%.0f files/s" % r}
        print(row % (label, "%.2f s" % median(name), "%.2f-%.2f s" % (min(seconds), max(seconds)),
                     shown[unit](rate) if rate else "", size(max(rss)) if rss else "-",
                     "%.2f" % (rate / ours) if ours else ""))
        return rate

    print("Median of %s runs each, with the fastest and slowest run. Ratio: the baseline's rate / ours, that is our"
          % facts["runs"])
    print("time / the baseline's time for the same work (2.00 = we take twice as long). Peak RSS: largest of the runs.")
    print(row % ("", "median", "runs", "rate", "peak RSS", "ratio"))

    blob_bytes = fact("large-blob-bytes")
    print("1. Full install of %s in %d files (%d blobs) from nginx, HTTPS on loopback"
          % (size(fact("large-file-bytes")), fact("large-files"), fact("large-blobs")))
    ours = line("velkar-update update (Wine, WinHTTP)", "install-updater", blob_bytes, "MiB/s")
    ceilings = sorted((n for n in runs if n.startswith("ceiling-x")), key=lambda n: int(n[len("ceiling-x"):]))
    best = min(ceilings, key=median)
    line("baseline: WinHTTP ceiling, into memory, best of below", best, blob_bytes, "MiB/s", ours)
    for name in ceilings:
        connections = int(name[len("ceiling-x"):])
        line("  %d connection%s (Wine)" % (connections, "s" if connections > 1 else ""), name, blob_bytes, "MiB/s")
    line("context: aria2c -j24 -x1 -s1, same blobs", "install-aria2c", blob_bytes, "MiB/s", ours)
    line("context: curl, same blobs one by one", "install-curl", blob_bytes, "MiB/s", ours)

    print("2. Resume after the updater is killed half-way (once the download store holds half the bytes)")
    refetched = [float(v) for k, v in facts.items() if k.startswith("resume-refetched-")]
    kept_bytes = [float(v) for k, v in facts.items() if k.startswith("resume-kept-")]
    bound = SEGMENT * WORKERS
    print("  %-54s %9s %15s   %.1f%% of the bound below" % (
        "bytes fetched twice (sent before + after - blob bytes)", size(statistics.median(refetched)),
        "%.1f-%.1f MiB" % (min(refetched) / MIB, max(refetched) / MIB), 100 * statistics.median(refetched) / bound))
    print("  %-54s %9s" % ("baseline bound: %d workers x one 8 MiB segment" % WORKERS, size(bound)))
    print("  %-54s %9s" % ("held in the store when killed (median)", size(statistics.median(kept_bytes))))
    line("the resumed velkar-update update (Wine)", "resume-updater")

    small_files = fact("small-files")
    print("3. Update with nothing to do on an installation of %d small files (%d blobs)"
          % (small_files, fact("small-blobs")))
    ours = line("velkar-update update (Wine)", "noop-updater", small_files, "files/s")
    line("baseline: find -printf %s, every file's size (native)", "noop-find", small_files, "files/s", ours)
    line("context: FindFirstFileExW, every file's size (Wine)", "noop-wine-list", small_files, "files/s", ours)
    peak = lambda name: max(r for _, r in runs[name])
    print("  %-54s %9s %15s %16s %10s %6.2f" % (
        "peak RSS of the update, against the listing's (Wine)", size(peak("noop-updater")),
        "listing " + size(peak("noop-wine-list")), "", "", peak("noop-updater") / peak("noop-wine-list")))
    if "small-install" in runs:
        tenth = fact("small-tenth-files")
        print("   First install of those files with velkar-update (Wine), against one of a tenth as many")
        ours = line("velkar-update update, %d files" % small_files, "small-install", small_files, "files/s")
        line("baseline: velkar-update update, %d files" % tenth, "small-tenth-install", tenth, "files/s", ours)
        for name, count in (("small-tenth-install", tenth), ("small-install", small_files)):
            written, final = fact(name + "-record-written"), fact(name + "-record-size")
            print("  %-54s %9s %15s %16s %10s %6.2f" % (
                "installed.json of %d files: %d saves, bytes written" % (count, fact(name + "-record-saves")),
                size(written), "final " + size(final), "", "", written / final))

    threads = int(facts["hash-threads"])
    hashed = fact("hash-file-bytes")
    covered = fact("large-covered-bytes")
    print("4. Verify before launch over %s in %d files; the updater's SHA-256: %s"
          % (size(covered), fact("large-files"), facts["sha256-implementation"]))
    if facts["sha256-implementation"] != "x86 SHA extensions":
        print("   (this processor lacks the x86 SHA extensions: the portable SHA-256 code runs)")
    ours = line("velkar-update verify (Wine, %d hashing threads)" % threads, "verify-updater", covered, "MiB/s")
    line("baseline: openssl dgst -sha256, %d processes, same files" % threads, "verify-openssl", covered, "MiB/s", ours)
    # Each thread hashed the whole buffer once per run.
    for count in sorted({threads, 1}, reverse=True):
        plural = "s" if count > 1 else ""
        line("context: own SHA-256 in memory, %d thread%s (Wine)" % (count, plural), "sha256-memory-x%d" % count,
             hashed * count, "MiB/s", ours)
        line("context: BCryptHash in memory, %d thread%s (Wine)" % (count, plural), "cng-memory-x%d" % count,
             hashed * count, "MiB/s", ours)
    line("context: openssl dgst -sha256, 1 thread (native)", "openssl-native", hashed, "MiB/s", ours)


def main() -> None:
    commands = {"release": (release, 4), "seed": (seed, 3), "kept": (kept, 1), "split": (split, 3), "watch": (watch, 3),
                "table": (table, 1)}
    name = sys.argv[1] if len(sys.argv) > 1 else ""
    if name not in commands or len(sys.argv) != 2 + commands[name][1]:
        sys.exit(__doc__)
    commands[name][0](*sys.argv[2:])


if __name__ == "__main__":
    main()
