#!/usr/bin/env python3
"""The kill-point torture run of bench/torture (see there): generates releases A and B, publishes
them, and for each scenario (a fresh install of A, an update from A to B) kills velkar-update at
random moments, recovers with a second run and checks the installation against the release."""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

MIB = 1024 * 1024
POOL = random.Random(2026).randbytes(16 * MIB)
PHASES = ["fetching release", "checking", "downloading", "installing", "disabling packages",
          "deleting stale files", "recording"]

# The player's own files, planted before every run: they must come out untouched. The package is not
# the release's, so the first (deep) install disables it under a ".vk-offline" name, content unchanged.
USER_FILES = {
    "Velkar/Saved/SaveGames/slot1.sav": b"the player's save game\n",
    "Velkar/Saved/Config/Windows/GameUserSettings.ini": b"[ScalabilityGroups]\nsg.ResolutionQuality=100\n",
    "notes.vk-offline": b"a note the player keeps here\n",
}
EXTRA_PACKAGE = ("Velkar/Content/Paks/~mods/extra_mod.pak", b"a mod package the release does not list\n" * 100)


def content(seed: int, size: int) -> bytes:
    header = f"velkar torture file {seed}\n".encode()[:size]
    body = bytearray(header)
    offset = (seed * 7919) % len(POOL)
    while len(body) < size:
        piece = POOL[offset: offset + size - len(body)]
        body += piece
        offset = 0
    return bytes(body)


def game_a(megabytes: int, count: int) -> dict:
    """Release path -> content seed and size: one pak over 100 MB, medium and small files, empty files
    and groups of files sharing one content (one blob)."""
    rng = random.Random(5)
    files = {"Velkar.exe": (1, 3 * MIB), "Velkar/Content/Paks/Velkar-Windows.pak": (2, 110 * MIB)}
    rest = max(0, megabytes * MIB - sum(size for _, size in files.values()))
    weights = [rng.paretovariate(1.1) for _ in range(count - len(files))]
    scale = rest / sum(weights)
    for i, weight in enumerate(weights, start=3):
        folder = f"Velkar/Content/Data{i % 13}" if i % 4 else f"Engine/Content/Sub{i % 5}"
        size = min(int(weight * scale), 40 * MIB)
        seed = i
        if i % 23 == 0:
            size = 0                      # empty files
        elif i % 17 == 0:
            seed, size = 17, 300_000      # one blob behind several paths
        files[f"{folder}/file{i}.uasset"] = (seed, size)
    return files


def game_b(a: dict) -> dict:
    """Release B: files changed in place, added, removed and moved to another folder."""
    b = dict(a)
    paths = sorted(p for p in a if p.startswith(("Velkar/Content/Data", "Engine/")))
    rng = random.Random(9)
    rng.shuffle(paths)
    changed, removed, moved = paths[:25], paths[25:45], paths[45:55]
    for p in changed:
        seed, size = a[p]
        b[p] = (seed + 100_000, max(size, 1000))
    for p in removed:
        del b[p]
    for p in moved:
        b["Velkar/Content/Moved/" + p.replace("/", "_")] = b.pop(p)
    for i in range(20):
        b[f"Velkar/Content/Added{i % 3}/new{i}.uasset"] = (200_000 + i, 500_000 + i * 7000)
    b["Velkar/Content/Paks/Velkar-Windows-patch1.pak"] = (300_000, 30 * MIB)
    return b


def write_game(root: Path, files: dict) -> None:
    for path, (seed, size) in files.items():
        target = root / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content(seed, size))


def plant(install: Path, with_extra_package: bool) -> None:
    planted = dict(USER_FILES)
    if with_extra_package:
        planted[EXTRA_PACKAGE[0]] = EXTRA_PACKAGE[1]
    for path, data in planted.items():
        target = install / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)


@dataclass
class Release:
    channel: str
    build_id: str
    files: dict                      # release path -> (sha256, size)

    @staticmethod
    def load(store: Path, channel: str) -> "Release":
        manifest = json.loads((store / "channels" / channel / "windows.json").read_text())
        listing = json.loads((store / manifest["release"]).read_text())
        return Release(channel, listing["build_id"],
                       {f["path"]: (f["sha256"], f["size"]) for f in listing["files"]})


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


class Runner:
    def __init__(self, args, base_url: str, access_log: Path):
        self.args, self.base_url, self.access_log = args, base_url, access_log

    def line(self, install: Path, cache: Path, channel: str) -> list:
        return ["wine", self.args.updater, "--lang", "en", "--install-dir", windows_path(install),
                "--cache-dir", windows_path(cache), "--base-url", self.base_url, "--channel", channel, "update"]

    def start(self, install: Path, cache: Path, channel: str, log: Path) -> subprocess.Popen:
        with open(log, "wb") as out:
            # wine execs into the Windows program, so this process is the updater itself.
            return subprocess.Popen(self.line(install, cache, channel), stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.STDOUT)

    def run(self, install: Path, cache: Path, channel: str, log: Path) -> int:
        return self.start(install, cache, channel, log).wait()

    def log_offset(self) -> int:
        return self.access_log.stat().st_size if self.access_log.exists() else 0

    def blob_bytes_since(self, offset: int) -> int:
        # nginx writes the line of an aborted transfer once it notices the closed connection.
        time.sleep(0.3)
        total = 0
        with open(self.access_log, "rb") as log:
            log.seek(offset)
            for line in log.read().decode(errors="replace").splitlines():
                fields = line.split("|")
                if len(fields) >= 6 and "/blobs/" in fields[0]:
                    total += int(fields[5] or 0)
        return total


def read_installed(install: Path) -> dict | None:
    try:
        return json.loads((install / ".vklauncher" / "installed.json").read_text())
    except (OSError, ValueError):
        return None


def downloads_used(install: Path) -> bool:
    folder = install / ".vklauncher" / "downloads"
    return folder.is_dir() and any(folder.iterdir())


def release_files_in_place(install: Path, release: Release) -> bool:
    for path, (_, size) in release.files.items():
        target = install / path
        if not target.is_file() or target.stat().st_size != size:
            return False
    return True


def phase_at_kill(install: Path, cache: Path, release: Release, stale: list, deep: bool) -> str:
    """Which step the killed run was in, read off what it left on disk."""
    installed = read_installed(install)
    build = installed.get("build_id") if isinstance(installed, dict) else None
    if build == release.build_id:
        return "recording"
    if build == "":
        if not release_files_in_place(install, release):
            return "installing"
        if deep and (install / EXTRA_PACKAGE[0]).exists():
            return "disabling packages"
        if any((install / p).exists() for p in stale):
            return "deleting stale files"
        return "recording"
    if downloads_used(install):
        return "downloading"
    if (cache / "channel.json").exists():
        return "checking"
    return "fetching release"


def digest(path: Path) -> str:
    h = hashlib.sha256()
    with open(path, "rb") as f:
        while chunk := f.read(MIB):
            h.update(chunk)
    return h.hexdigest()


def check_install(install: Path, release: Release, extra_package_disabled: bool) -> list:
    """Everything wrong with the installation after a recovery, as readable lines."""
    problems = []
    seen = set()
    disabled = re.compile(re.escape(EXTRA_PACKAGE[0]) + r"\.\d+\.vk-offline")
    for entry in sorted(install.rglob("*")):
        rel = entry.relative_to(install).as_posix()
        if rel == ".vklauncher" or rel.startswith(".vklauncher/"):
            if entry.name.endswith((".tmp", ".part", ".seg")) or rel.startswith(".vklauncher/downloads/"):
                problems.append(f"left in the metadata folder: {rel}")
            continue
        if entry.is_dir():
            continue
        seen.add(rel)
        if rel in release.files:
            sha, size = release.files[rel]
            if entry.stat().st_size != size or digest(entry) != sha:
                problems.append(f"differs from the release: {rel}")
        elif rel in USER_FILES:
            if entry.read_bytes() != USER_FILES[rel]:
                problems.append(f"player's file changed: {rel}")
        elif extra_package_disabled and disabled.fullmatch(rel):
            if entry.read_bytes() != EXTRA_PACKAGE[1]:
                problems.append(f"disabled package changed: {rel}")
        else:
            problems.append(f"not the release's and not the player's: {rel}")
    problems += [f"missing: {p}" for p in release.files if p not in seen]
    problems += [f"player's file lost: {p}" for p in USER_FILES if p not in seen]
    if extra_package_disabled and not any(disabled.fullmatch(p) for p in seen):
        problems.append("the extra package is neither disabled nor kept")
    installed = read_installed(install)
    if not isinstance(installed, dict) or installed.get("build_id") != release.build_id:
        problems.append("installed.json does not record the release")
    elif {p: (f.get("sha256"), f.get("size")) for p, f in installed.get("files", {}).items()} != release.files:
        problems.append("installed.json's files are not the release's")
    return problems


@dataclass
class Scenario:
    name: str
    release: Release
    prepare: object                  # prepare(install): the state before each trial
    stale: list                      # paths the update must delete
    deep: bool                       # the first run checks every file by digest
    extra_package: bool
    kills_by_phase: dict = field(default_factory=lambda: {p: 0 for p in PHASES})
    recoveries: int = 0
    refetched: list = field(default_factory=list)
    failures: list = field(default_factory=list)


def calibrate(runner: Runner, scenario: Scenario, work: Path) -> tuple:
    """One run without a kill: when the downloads start, when installing starts, when every file is in
    place, when it ends, and the blob bytes it fetches."""
    install, cache, log = work / "install", work / "cache", work / "calibrate.log"
    scenario.prepare(install)
    shutil.rmtree(cache, ignore_errors=True)
    offset = runner.log_offset()
    start = time.monotonic()
    process = runner.start(install, cache, scenario.release.channel, log)
    t_download = t_install = t_placed = None
    while process.poll() is None:
        now = time.monotonic() - start
        if t_download is None and downloads_used(install):
            t_download = now
        installed = read_installed(install) if t_install is None else None
        if t_install is None and isinstance(installed, dict) and installed.get("build_id") == "":
            t_install = now
        if t_install is not None and t_placed is None and release_files_in_place(install, scenario.release):
            t_placed = now
        time.sleep(0.005)
    total = time.monotonic() - start
    if process.returncode != 0:
        sys.exit(f"torture: the uninterrupted {scenario.name} failed:\n{log.read_text(errors='replace')}")
    problems = check_install(install, scenario.release, scenario.extra_package)
    if problems:
        sys.exit(f"torture: the uninterrupted {scenario.name} is wrong:\n" + "\n".join(problems[:20]))
    fetched = runner.blob_bytes_since(offset)
    t_download = t_download if t_download is not None else total * 0.1
    t_install = t_install if t_install is not None else total * 0.9
    t_placed = t_placed if t_placed is not None else total
    return t_download, t_install, t_placed, total, fetched


def kill_moments(rng: random.Random, kills: int, marks: tuple) -> list:
    """Moments spread over the run: before the downloads (release and check), during them, while files
    are put in place, from then to the end (disabling, deleting, recording), and anywhere, in turn."""
    t_download, t_install, t_placed, total = marks
    windows = [(0.0, t_download), (t_download, t_install), (t_install, t_placed), (t_placed, total), (0.0, total)]
    return [rng.uniform(*windows[i % len(windows)]) for i in range(kills)]


def torture(runner: Runner, scenario: Scenario, work: Path, kills: int, rng: random.Random) -> None:
    *marks, fetched = calibrate(runner, scenario, work)
    t_download, t_install, t_placed, total = marks
    print(f"{scenario.name}: uninterrupted run {total:.1f} s (downloads from {t_download:.2f} s, installing "
          f"from {t_install:.2f} s, every file in place at {t_placed:.2f} s), {fetched / MIB:.1f} MiB of blobs",
          file=sys.stderr)
    install, cache = work / "install", work / "cache"
    for i, moment in enumerate(kill_moments(rng, kills, tuple(marks))):
        scenario.prepare(install)
        shutil.rmtree(cache, ignore_errors=True)
        kill_log, recover_log = work / f"kill{i}.log", work / f"recover{i}.log"
        offset = runner.log_offset()
        process = runner.start(install, cache, scenario.release.channel, kill_log)
        try:
            process.wait(timeout=moment)
            phase = "ended before the kill"
        except subprocess.TimeoutExpired:
            os.kill(process.pid, signal.SIGKILL)
            process.wait()
            phase = phase_at_kill(install, cache, scenario.release, scenario.stale, scenario.deep)
        scenario.kills_by_phase[phase] = scenario.kills_by_phase.get(phase, 0) + 1
        code = runner.run(install, cache, scenario.release.channel, recover_log)
        problems = [] if code == 0 else [f"the recovery exited with {code}: "
                                         f"{recover_log.read_text(errors='replace').strip()[-300:]}"]
        problems += check_install(install, scenario.release, scenario.extra_package)
        if problems:
            scenario.failures.append((i, moment, phase, problems))
            shutil.copytree(install, work.parent / f"failed-{scenario.name.replace(' ', '-')}-{i}", dirs_exist_ok=True)
        else:
            scenario.recoveries += 1
        scenario.refetched.append(runner.blob_bytes_since(offset) - fetched)
        print(f"  kill {i + 1}/{kills} at {moment:.2f} s: {phase}; {'ok' if not problems else problems[0]}",
              file=sys.stderr)


def report(scenarios: list, kills: int, seed: int) -> bool:
    print(f"\nKill-point torture, seed {seed}, {kills} kills per scenario (SIGKILL of the updater under Wine)\n")
    phases = PHASES + ["ended before the kill"]
    print("| phase at the kill | " + " | ".join(s.name for s in scenarios) + " |")
    print("|---|" + "---|" * len(scenarios))
    for phase in phases:
        print(f"| {phase} | " + " | ".join(str(s.kills_by_phase.get(phase, 0)) for s in scenarios) + " |")
    print("| recoveries | " + " | ".join(f"{s.recoveries} of {kills}" for s in scenarios) + " |")
    print("| bytes fetched again, total | " + " | ".join(f"{sum(s.refetched) / MIB:.1f} MiB" for s in scenarios) + " |")
    print("| bytes fetched again, worst kill | " + " | ".join(f"{max(s.refetched) / MIB:.1f} MiB" for s in scenarios)
          + " |")
    print("| failures | " + " | ".join(str(len(s.failures)) for s in scenarios) + " |")
    for s in scenarios:
        for i, moment, phase, problems in s.failures:
            print(f"\n{s.name}, kill {i + 1} at {moment:.2f} s ({phase}):")
            for line in problems[:10]:
                print("  " + line)
    print("\nPhase at the kill is read off what the killed run left on disk: no cached manifest yet (fetching\n"
          "release), nothing in the download store (checking), the store in use (downloading), installed.json\n"
          "in transition with files still missing (installing), the extra package not yet renamed (disabling\n"
          "packages), files of the old release still present (deleting stale files), and installed.json naming\n"
          "the release or nothing left to do (recording). Bytes fetched again: blob bytes nginx sent for the\n"
          "killed run and its recovery, less what one uninterrupted run fetches.")
    return all(not s.failures for s in scenarios)


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True, type=Path)
    parser.add_argument("--publish", required=True)
    parser.add_argument("--updater", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--kills", type=int, default=30)
    parser.add_argument("--seed", type=int, default=int(time.time()) % 100_000)
    parser.add_argument("--megabytes", type=int, default=300)
    parser.add_argument("--files", type=int, default=300)
    args = parser.parse_args()
    work = args.work / "run"
    env = args.work / "env"
    store = env / "www" / "store"
    servers = dict(line.split("=", 1) for line in (env / "servers.txt").read_text().split() if "=" in line)
    runner = Runner(args, servers["https"] + "/store", env / "access.log")

    print(f"== Generating and publishing release A ({args.megabytes} MB, {args.files} files) and release B",
          file=sys.stderr)
    a, b = game_a(args.megabytes, args.files), None
    b = game_b(a)
    for name, files in (("a", a), ("b", b)):
        tree = args.work / f"game-{name}"
        write_game(tree, files)
        subprocess.run([args.publish, "release", "--store", str(store), "--game", str(tree), "--key", args.key,
                        "--channel", f"torture-{name}", "--build-id", f"torture-{name}-1", "--version", "1.0.0",
                        "--launch", "Velkar.exe"], check=True, stdout=subprocess.DEVNULL)
        shutil.rmtree(tree)
    release_a, release_b = Release.load(store, "torture-a"), Release.load(store, "torture-b")
    work.mkdir(parents=True)

    def fresh(install: Path) -> None:
        shutil.rmtree(install, ignore_errors=True)
        plant(install, with_extra_package=True)

    pristine_a = work / "pristine-a"
    fresh(pristine_a)
    if runner.run(pristine_a, work / "cache-a", "torture-a", work / "install-a.log") != 0:
        sys.exit("torture: installing release A failed:\n" + (work / "install-a.log").read_text(errors="replace"))

    def from_a(install: Path) -> None:
        shutil.rmtree(install, ignore_errors=True)
        shutil.copytree(pristine_a, install, symlinks=True)

    stale = sorted(set(release_a.files) - set(release_b.files))
    scenarios = [
        Scenario("install of A", release_a, fresh, [], deep=True, extra_package=True),
        Scenario("update A to B", release_b, from_a, stale, deep=False, extra_package=True),
    ]
    rng = random.Random(args.seed)
    for scenario in scenarios:
        print(f"== {scenario.name}: {args.kills} kills", file=sys.stderr)
        torture(runner, scenario, work, args.kills, rng)
    sys.exit(0 if report(scenarios, args.kills, args.seed) else 1)


if __name__ == "__main__":
    main()
