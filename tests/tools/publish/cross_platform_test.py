#!/usr/bin/env python3
"""velkar-publish.exe under Wine against the Linux velkar-publish and the launcher's velkar-update.exe.

A Windows program cannot see the exit code of a Linux program it starts under Wine, so these cases
are driven from the Linux side, running each tool on its own platform.

    cross_platform_test.py WINDOWS_TOOLS_DIR NATIVE_TOOLS_DIR ENV_DIR
"""
import filecmp
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
WINE_RUN = HERE.parents[2] / "scripts" / "wine-run"
WINDOWS_TOOLS = Path(sys.argv[1])
NATIVE_TOOL = Path(sys.argv[2]) / "velkar-publish"
ENV_DIR = Path(sys.argv[3])
DEV_DIR = Path(os.environ.get("VELKAR_DEV_DIR", Path.home() / ".velkar-dev"))


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def run(command: list) -> subprocess.CompletedProcess:
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)


def linux(*arguments) -> subprocess.CompletedProcess:
    return run([str(NATIVE_TOOL), *[str(a) for a in arguments]])


def windows(*arguments) -> subprocess.CompletedProcess:
    """The Windows tool, given every path as a Windows path (drive letter, backslashes)."""
    converted = [windows_path(a) if isinstance(a, Path) else a for a in arguments]
    return run([str(WINE_RUN), str(WINDOWS_TOOLS / "velkar-publish.exe"), *converted])


def tree(root: Path) -> dict:
    return {p.relative_to(root).as_posix(): p.read_bytes() for p in sorted(root.rglob("*")) if p.is_file()}


def chunk_indexes(store: Path, release: str = "releases/b1.json") -> dict:
    """The chunk index each entry of the store's release list names, by path; each must be a blob of the store."""
    indexes = {}
    for entry in json.loads((store / release).read_text(encoding="utf-8"))["files"]:
        if "chunks" in entry:
            index = store / "blobs" / entry["chunks"]["sha256"]
            assert index.stat().st_size == entry["chunks"]["size"], entry["path"]
            indexes[entry["path"]] = index.read_bytes()
    return indexes


def write_tree(root: Path, files: dict) -> None:
    for name, data in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_bytes(data)


# Deep enough that the game folder's Windows paths pass the classic 260-character limit.
DEEP = "/".join(["Velkar/Content/Deep"] + [f"level-{i:02}-of-a-long-folder-chain" for i in range(9)]) + "/deep.pak"

GAME = {
    "Velkar.exe": b"MZ launch me",
    "Velkar/Content/Paks/pakchunk0-Windows.pak": random.Random(1).randbytes(3 * 1024 * 1024 + 7),
    "Velkar/Content/Shared/a.bin": b"same bytes",
    "Velkar/Content/Shared/b.bin": b"same bytes",
    "Velkar/Content/Empty.txt": b"",
    "Velkar/Content/Paks/Island/island-Windows.pak": random.Random(2).randbytes(100 * 1024),
    "Velkar/Content/地图/说明.txt": "更新说明\r\n".encode(),
    DEEP: b"deep",
}


class CrossPlatform(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp(prefix="velkar-cross-"))
        self.addCleanup(shutil.rmtree, self.work, True)

    def check(self, result, code=0):
        self.assertEqual(result.returncode, code, result.stderr.decode(errors="replace"))
        return result

    def release(self, tool, store: Path, game: Path, key: Path, build="b1", *extra):
        return tool("release", "--store", store, "--game", game, "--key", key, "--channel", "live",
                    "--build-id", build, "--version", "1.0.0", "--launch", "Velkar.exe", "--arg", "-log",
                    "--group", "island=Velkar/Content/Paks/Island/**", *extra)

    def test_keys_of_either_tool_sign_stores_the_other_verifies(self):
        keys = {}
        for name, tool in (("linux", linux), ("windows", windows)):
            private, public = self.work / f"{name}.key", self.work / f"{name}.pub"
            self.check(tool("keygen", "--private", private, "--public", public))
            keys[name] = (private, public)
        private, public = keys["windows"]
        # The Windows tool writes the bytes OpenSSL writes for its key, and the launcher's public key form.
        self.assertEqual(run(["openssl", "pkey", "-in", str(private)]).stdout, private.read_bytes())
        spki = run(["openssl", "pkey", "-in", str(private), "-pubout"]).stdout.replace(b"\n", b"\r\n")
        self.assertEqual(public.read_bytes(), spki)
        self.assertEqual(len(spki), 636)

        write_tree(self.work / "game", GAME)
        for signer, checkers in ((windows, (linux, windows)), (linux, (windows, linux))):
            key_owner = "windows" if signer is linux else "linux"  # each tool signs with the other's key
            store = self.work / f"store-{key_owner}-key"
            self.check(self.release(signer, store, self.work / "game", keys[key_owner][0]))
            for checker in checkers:
                result = self.check(checker("verify", "--store", store, "--channel", "live",
                                            "--public", keys[key_owner][1]))
                # Two files share one; the pak of at least 1 MiB has its chunk index.
                self.assertIn(b"8 blobs are good", result.stdout)
            other = keys["linux" if key_owner == "windows" else "windows"][1]
            result = self.check(signer("verify", "--store", store, "--channel", "live", "--public", other), 1)
            self.assertIn(b"windows.json.sig: not a valid signature of the manifest", result.stderr)

    def test_the_same_folder_gives_identical_stores_and_output(self):
        write_tree(self.work / "game", GAME)
        news = self.work / "news.json"
        news.write_text('[{"date": "2026-12-01", "title": {"zh": "更新", "en": "Update"}, "body": "b"}]')
        key = ENV_DIR / "signing" / "a.key"
        stores = {}
        outputs = {}
        for name, tool in (("linux", linux), ("windows", windows)):
            store = self.work / f"store-{name}"
            lines = []
            for build in ("b1", "b2"):
                # A fixed publication time makes the manifests, and so their signatures, comparable.
                result = self.check(self.release(tool, store, self.work / "game", key, build,
                                                 "--banner", self.work / "game/Velkar/Content/Shared/a.bin",
                                                 "--published", "2026-12-10T12:00:00Z", "--expires-in", "30"))
                lines.append(re.sub(rb", [0-9.]+ s\n", b"\n", result.stdout, count=1))
                (self.work / "game/Velkar/Content/Empty.txt").write_bytes(build.encode())
            (self.work / "game/Velkar/Content/Empty.txt").write_bytes(b"")
            lines.append(self.check(tool("news", "--store", store, "--file", news)).stdout)
            # Signed again by the scheduled job; dated far ahead so that the check below never finds it expired.
            lines.append(self.check(tool("refresh", "--store", store, "--key", key, "--channel", "live",
                                         "--expires-in", "30", "--published", "2080-01-01T00:00:00Z")).stdout)
            lines.append(self.check(tool("verify", "--store", store, "--channel", "live",
                                         "--public", ENV_DIR / "signing/a.pub.pem")).stdout)
            lines.append(self.check(tool("gc", "--store", store, "--delete")).stdout)
            stores[name] = tree(store)
            outputs[name] = lines
        self.assertEqual(outputs["windows"], outputs["linux"])
        self.assertIn(b"1 unreferenced blobs", outputs["linux"][-1])
        self.assertIn(b"again as sequence 3, expiring 2080-01-31T00:00:00Z.", outputs["linux"][-3])
        self.assertEqual(sorted(stores["windows"]), sorted(stores["linux"]))
        for name, data in stores["linux"].items():
            self.assertEqual(stores["windows"][name], data, name)
        # Only the file of at least 1 MiB has a chunk index, the same from both tools.
        for name in ("linux", "windows"):
            indexes = chunk_indexes(self.work / f"store-{name}")
            self.assertEqual(sorted(indexes), ["Velkar/Content/Paks/pakchunk0-Windows.pak"])
            self.assertEqual(indexes["Velkar/Content/Paks/pakchunk0-Windows.pak"][:8], b"VKCI\x01\x00\x00\x00")
        # PKCS #1 v1.5 signatures are deterministic, so even the signatures are the same bytes.
        self.assertIn("channels/live/windows.json.sig", stores["windows"])

    def test_promote_rollback_releases_and_diff_are_the_same_on_both(self):
        key, public = ENV_DIR / "signing" / "a.key", ENV_DIR / "signing" / "a.pub.pem"
        v2 = self.work / "game-v2"
        write_tree(self.work / "game", GAME)
        write_tree(v2, dict(GAME, **{"Velkar/Content/New/new.bin": b"new", "Velkar.exe": b"MZ launch me 2"}))
        (v2 / "Velkar/Content/Shared/b.bin").rename(v2 / "Velkar/Content/Shared/moved.bin")
        stores, outputs = {}, {}
        for name, tool in (("linux", linux), ("windows", windows)):
            store = self.work / f"store-{name}"
            day = lambda *arguments: self.check(tool(*arguments[:1], "--store", store, *arguments[1:])).stdout
            published = ("--published", "2026-12-10T12:00:00Z")
            lines = [re.sub(rb", [0-9.]+ s\n", b"\n", out, count=1) for out in (
                self.check(self.release(tool, store, self.work / "game", key, "b1", *published)).stdout,
                self.check(tool("release", "--store", store, "--game", v2, "--key", key, "--channel", "internal",
                                "--build-id", "b2", "--version", "1.1.0", "--launch", "Velkar.exe",
                                "--group", "island=Velkar/Content/Paks/Island/**",
                                "--published", "2026-12-11T12:00:00Z")).stdout)]
            lines.append(day("diff", "--from-channel", "live", "--to-channel", "internal"))
            lines.append(day("diff", "--from-build", "b1", "--to-release", "releases/b2.json", "--json"))
            lines.append(day("promote", "--key", key, "--from", "internal", "--to", "live",
                             "--published", "2026-12-12T12:00:00Z", "--expires-in", "30"))
            lines.append(day("releases"))
            lines.append(day("releases", "--json", "--channel", "live"))
            lines.append(day("rollback", "--key", key, "--channel", "live", "--to-build", "b1",
                             "--published", "2080-01-01T00:00:00Z"))
            lines.append(day("verify", "--channel", "live", "--public", public, "--json"))
            stores[name] = tree(store)
            outputs[name] = lines
        self.assertEqual(outputs["windows"], outputs["linux"])
        text = b"".join(outputs["linux"]).decode()
        self.assertIn("moved    Velkar/Content/Shared/b.bin -> Velkar/Content/Shared/moved.bin", text)
        self.assertIn("Promoted build b2 (version 1.1.0) from channel internal to channel live as sequence 2, "
                      "expiring 2027-01-11T12:00:00Z.", text)
        self.assertIn("Rolled channel live back to build b1 (version 1.0.0) as sequence 3.", text)
        self.assertIn('"good": true', text)
        self.assertEqual(sorted(stores["windows"]), sorted(stores["linux"]))
        for name, data in stores["linux"].items():
            self.assertEqual(stores["windows"][name], data, name)

    def update(self, base: str, install: Path, command: str = "update") -> subprocess.CompletedProcess:
        return run([str(WINE_RUN), str(WINDOWS_TOOLS / "velkar-update.exe"), "--lang", "en", "--quiet",
                    "--install-dir", windows_path(install), "--cache-dir", windows_path(self.work / "cache"),
                    "--base-url", base, "--channel", "live", *(["--select", "island"] if command == "update" else []),
                    command])

    def test_a_rolled_back_channel_installs_the_older_release_byte_exact(self):
        """The publisher's day against the launcher's updater: b1 live, b2 tested on internal and promoted,
        then live rolled back to b1 on launchers that have already seen b2."""
        v2 = dict(GAME, **{"Velkar/Content/New/new.bin": b"only in b2", "Velkar.exe": b"MZ launch me 2"})
        del v2["Velkar/Content/Empty.txt"]
        write_tree(self.work / "v1", GAME)
        write_tree(self.work / "v2", v2)
        name = f"rollback-{random.randrange(1 << 30)}"
        store = ENV_DIR / "www" / name
        self.addCleanup(shutil.rmtree, store, True)
        key = DEV_DIR / "signing-private.pem"
        https = dict(line.split("=", 1) for line in (ENV_DIR / "servers.txt").read_text().split())["https"]
        base, install = f"{https}/{name}", self.work / "install"

        self.check(self.release(linux, store, self.work / "v1", key, "b1"))
        self.check(windows("release", "--store", store, "--game", self.work / "v2", "--key", key,
                           "--channel", "internal", "--build-id", "b2", "--version", "2.0.0", "--launch", "Velkar.exe",
                           "--group", "island=Velkar/Content/Paks/Island/**"))
        self.check(windows("promote", "--store", store, "--key", key, "--from", "internal", "--to", "live"))
        self.assertEqual(self.update(base, install).returncode, 0)
        self.assertEqual(self.installed(install), v2)
        promoted = {n: (store / "channels/live" / n).read_bytes() for n in ("windows.json", "windows.json.sig")}

        self.check(linux("rollback", "--store", store, "--key", key, "--channel", "live", "--to-build", "b1"))
        check = self.update(base, install, "check")
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertIn(b"build: b1\n", check.stdout)
        self.assertIn(b"sequence: 3\n", check.stdout)
        result = self.update(base, install)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(self.installed(install), GAME)

        # The rollback is the publisher's; a server replaying the promoted manifest is still refused.
        for n, data in promoted.items():
            (store / "channels/live" / n).write_bytes(data)
        replay = self.update(base, install, "check")
        self.assertEqual(replay.returncode, 1)
        self.assertIn(b"offered an older release than this computer has already seen", replay.stdout + replay.stderr)

    def installed(self, install: Path) -> dict:
        return {k: v for k, v in tree(install).items() if not k.startswith(".vklauncher/")}

    def test_a_store_published_on_windows_installs_byte_exact(self):
        write_tree(self.work / "game", GAME)
        name = f"cross-{random.randrange(1 << 30)}"
        store = ENV_DIR / "www" / name
        self.addCleanup(shutil.rmtree, store, True)
        self.check(self.release(windows, store, self.work / "game", DEV_DIR / "signing-private.pem"))
        # The launcher reads past the chunk index its list names and fetches the file whole.
        self.assertEqual(len(chunk_indexes(store)), 1)
        https = dict(line.split("=", 1) for line in (ENV_DIR / "servers.txt").read_text().split())["https"]
        install = self.work / "install"
        result = run([str(WINE_RUN), str(WINDOWS_TOOLS / "velkar-update.exe"), "--lang", "en", "--quiet",
                      "--install-dir", windows_path(install), "--cache-dir", windows_path(self.work / "cache"),
                      "--base-url", f"{https}/{name}", "--channel", "live", "--select", "island", "update"])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        installed = {k: v for k, v in tree(install).items() if not k.startswith(".vklauncher/")}
        self.assertEqual(sorted(installed), sorted(GAME))
        for path, data in GAME.items():
            self.assertEqual(installed[path], data, path)

    def test_refusals_are_the_same_on_both(self):
        game = self.work / "game"
        write_tree(game, {
            "Velkar.exe": b"exe",
            "Velkar/Saved/Config/Engine.ini": b"x",
            ".vklauncher/installed.json": b"x",
            "Velkar/Content/Map.pak": b"x",
            "Velkar/content/map.pak": b"x",
            "Velkar/Docs": b"x",
            "Velkar/docs/readme.txt": b"x",
        })
        key = ENV_DIR / "signing" / "a.key"
        cases = [
            ("release", "--store", self.work / "store", "--game", game, "--key", key, "--channel", "live",
             "--build-id", "b1", "--version", "1", "--launch", "Game.exe", "--group", "dlc=DLC/**"),
            ("release", "--store", self.work / "store", "--game", game, "--key", ENV_DIR / "signing/ec.key",
             "--channel", "live", "--build-id", "b1", "--version", "1", "--launch", "Velkar.exe"),
            ("release", "--store", self.work / "store", "--game", game, "--key", key, "--channel", "../x",
             "--build-id", "b1", "--version", "1", "--launch", "Velkar.exe"),
            ("keygen", "--private", key, "--public", self.work / "new.pub"),
            ("gc", "--store", self.work / "store", "--keep-release", "../outside.json"),
        ]
        for arguments in cases:
            with self.subTest(arguments[0]):
                native, wine = linux(*arguments), windows(*arguments)
                self.assertIn(native.returncode, (1, 2), native.stderr)
                self.assertEqual(wine.returncode, native.returncode, wine.stderr)
                # Paths given on the command line are printed as given, so compare with them replaced.
                self.assertEqual(self.without_paths(wine.stderr), self.without_paths(native.stderr))
        self.assertFalse((self.work / "store").exists())
        self.assertIn(b"Velkar/content/map.pak: differs from Velkar/Content/Map.pak only in letter case",
                      linux(*cases[0]).stderr)

    def without_paths(self, text: bytes) -> bytes:
        roots = [windows_path(self.work).replace("\\", "/"), str(self.work),
                 windows_path(ENV_DIR).replace("\\", "/"), str(ENV_DIR)]
        for root in roots:
            text = text.replace(root.encode(), b"ROOT")
        return text


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
