#!/usr/bin/env python3
"""Test data of the engine suites: two builds of a small generated game published with
velkar-publish on channels "v1" and "v2" of the store ENV_DIR/www/STORE, and channels whose
signed manifests or file lists are wrong in one way each, for the refusal tests, and a channel
published twice.

    make_test_stores.py ENV_DIR VELKAR_PUBLISH SIGNING_KEY STORE
"""
import base64
import hashlib
import json
import random
import shutil
import subprocess
import sys
from pathlib import Path

MIB = 1024 * 1024


def payload(seed: int, size: int) -> bytes:
    return random.Random(seed).randbytes(size)


V1 = {
    "Velkar.exe": payload(1, 64 * 1024),
    "OnlineFiles.json": b'{"servers": ["eu", "cn"]}\n',
    "OnlineFiles.sig": b"c2lnbmF0dXJl\n",
    "readme.txt": b"Velkar readme, build 1\r\n",
    "Engine/Binaries/Win64/engine.dll": payload(2, 300 * 1024),
    "Velkar/Binaries/Win64/Velkar-Win64-Shipping.exe": payload(3, 200 * 1024),
    # Three segments of 8 MiB: 8 MiB, 8 MiB and 12345 bytes.
    "Velkar/Content/Paks/pakchunk0-Windows.pak": payload(4, 2 * 8 * MIB + 12345),
    "Velkar/Content/Paks/pakchunk1-Windows.pak": payload(5, MIB),
    # Two paths, one blob.
    "Velkar/Content/Shared/a.bin": payload(6, 512 * 1024),
    "Velkar/Content/Shared/b.bin": payload(6, 512 * 1024),
    "Velkar/Content/Empty.txt": b"",
    "Velkar/Content/Old/old.bin": payload(7, 10 * 1024),
    # The optional group "island".
    "Velkar/Content/Paks/Island/island-Windows.pak": payload(8, 2 * MIB),
    "Velkar/Content/Paks/Island/island-Windows.utoc": payload(9, 1024),
}

# A file beside the install folder (tests/engine/update_test.cpp); 9 + 55 characters make a digest's length.
OUTSIDE_NAME = "outside".ljust(51, "-") + ".txt"
OUTSIDE_BYTES = b"player's file\r\n"

V2 = dict(V1)
del V2["Velkar/Content/Old/old.bin"]
V2["Velkar/Content/Paks/pakchunk1-Windows.pak"] = payload(15, MIB)  # same size, new content
V2["Velkar/Content/New/new.bin"] = payload(16, 20 * 1024)
V2["readme.txt"] = b"Velkar readme, build 2\r\n"


def write_tree(root: Path, files: dict) -> None:
    for path, data in files.items():
        target = root / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)


ISLAND = ["--launch", "Velkar.exe", "--group", "island=Velkar/Content/Paks/Island/**"]


def publish(tool: str, key: str, store: Path, game: Path, channel: str, build: str, version: str,
            options: list = ISLAND) -> None:
    subprocess.run([tool, "release", "--store", str(store), "--game", str(game), "--key", key,
                    "--channel", channel, "--build-id", build, "--version", version, "--arg", "-log", *options],
                   check=True, stdout=subprocess.DEVNULL)


class Variants:
    """Channels of the store whose manifest is signed with the test key but is wrong in one way."""

    def __init__(self, store: Path, key: str):
        self.store = store
        self.key = key
        self.manifest = json.loads((store / "channels/v1/windows.json").read_bytes())
        self.list_bytes = (store / self.manifest["release"]).read_bytes()

    def sign(self, data: bytes) -> bytes:
        signature = subprocess.run(["openssl", "dgst", "-sha256", "-sign", self.key], input=data,
                                   check=True, capture_output=True).stdout
        return base64.b64encode(signature)

    def channel(self, name: str, manifest: bytes, signature: bytes = None) -> None:
        folder = self.store / "channels" / name
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "windows.json").write_bytes(manifest)
        (folder / "windows.json.sig").write_bytes(signature if signature is not None else self.sign(manifest))

    def with_manifest(self, name: str, **changes) -> None:
        manifest = dict(self.manifest, channel=name, **changes)
        for key in [k for k, v in changes.items() if v is None]:
            del manifest[key]
        self.channel(name, json.dumps(manifest, indent=2).encode())

    def with_list(self, name: str, list_bytes: bytes, **changes) -> None:
        path = f"releases/{name}.json"
        (self.store / path).write_bytes(list_bytes)
        self.with_manifest(name, release=path, release_size=len(list_bytes),
                           release_sha256=hashlib.sha256(list_bytes).hexdigest(), **changes)

    def with_list_changes(self, name: str, change) -> None:
        document = json.loads(self.list_bytes)
        change(document)
        self.with_list(name, json.dumps(document, indent=1).encode())


def make_variants(store: Path, key: str) -> None:
    v = Variants(store, key)
    signed = (store / "channels/v1/windows.json").read_bytes()
    # The signed bytes plus one line feed, with the original signature.
    v.channel("sig-off", signed + b"\n", (store / "channels/v1/windows.json.sig").read_bytes())
    # Served under another channel than the one it names.
    v.channel("wrong-channel", signed, (store / "channels/v1/windows.json.sig").read_bytes())
    v.with_manifest("schema-2", schema=2)
    v.with_manifest("schema-1-9", schema=1.9)
    v.with_manifest("schema-text", schema="1")
    v.with_manifest("platform-caps", platform="Windows")
    v.with_manifest("no-min-launcher", min_launcher_version=None)
    v.with_manifest("too-new", min_launcher_version="9.0.0")
    v.with_manifest("unnumbered", sequence=None, published=None)  # as published before the numbering
    v.with_manifest("expired", expires="2001-02-03T04:05:06Z")
    v.with_manifest("expires-later", expires="2999-12-31T23:59:59Z")
    v.with_manifest("expires-garbled", expires="next week")
    v.with_manifest("logged")
    v.with_manifest("list-missing", release="releases/missing.json")
    v.with_manifest("list-size", release_size=v.manifest["release_size"] + 1)
    # A list of the announced size but other bytes; it is not even JSON, so parsing it would show.
    tampered = b"X" + v.list_bytes[1:]
    (store / "releases/list-digest.json").write_bytes(tampered)
    v.with_manifest("list-digest", release="releases/list-digest.json")
    v.with_list_changes("list-build", lambda d: d.update(build_id="other-build"))
    v.with_list_changes("list-platform", lambda d: d.update(platform="linux"))
    v.with_list_changes("bad-path", lambda d: d["files"].append(
        {"path": "Velkar/../escape.pak", "size": 1, "sha256": "0" * 64}))
    v.with_list_changes("case-duplicate", lambda d: d["files"].append(
        {"path": "velkar/content/paks/PAKCHUNK1-windows.pak", "size": 1, "sha256": "0" * 64}))
    # A digest that, as a name in the download store, is a file beside the install folder; the file the
    # test plants there has the announced size.
    v.with_list_changes("digest-escape", lambda d: d["files"].append(
        {"path": "Velkar/Content/Stolen.txt", "size": len(OUTSIDE_BYTES), "sha256": "..\\..\\..\\" + OUTSIDE_NAME}))
    v.with_list_changes("no-launch", lambda d: d.pop("launch"))
    v.with_list_changes("empty", lambda d: d.update(files=[]))
    blob = v.manifest["release_sha256"]  # any digest of a file on the server will do
    v.with_manifest("offers", launcher={"version": "2.5.0", "sha256": blob, "size": 10},
                    banner={"sha256": blob, "size": 20})
    # Offers whose blob the store holds: the readme of build 1 stands in for a picture and a launcher.
    readme = V1["readme.txt"]
    served = {"sha256": hashlib.sha256(readme).hexdigest(), "size": len(readme)}
    v.with_manifest("banner", banner=served)
    v.with_manifest("launcher-offer", launcher=dict(served, version="2.5.0"))
    # A launcher offer of many megabytes (the big pak stands in), to stop in the middle of its download.
    big = V1["Velkar/Content/Paks/pakchunk0-Windows.pak"]
    v.with_manifest("launcher-offer-big", launcher={"version": "2.5.0", "sha256": hashlib.sha256(big).hexdigest(),
                                                    "size": len(big)})


def main() -> None:
    env_dir, tool, key, store_name = Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    games = env_dir / "games"
    store = env_dir / "www" / store_name
    shutil.rmtree(games, ignore_errors=True)
    for name, files in (("v1", V1), ("v2", V2)):
        write_tree(games / name, files)
    publish(tool, key, store, games / "v1", "v1", "v1", "1.0.0")
    publish(tool, key, store, games / "v2", "v2", "v2", "1.1.0")
    # One file in one blob of one segment, for the download stage's failure cases.
    write_tree(games / "single", {"Velkar/Content/Paks/single.pak": payload(20, 3 * MIB)})
    publish(tool, key, store, games / "single", "single", "single", "1.0.0",
            ["--launch", "Velkar/Content/Paks/single.pak"])
    make_variants(store, key)
    # Channel "rollback" published twice; its first manifest and signature are kept in
    # ENV_DIR/rollback-first/STORE for the tests that replay them.
    publish(tool, key, store, games / "v1", "rollback", "v1", "1.0.0")
    first = env_dir / "rollback-first" / store_name
    shutil.copytree(store / "channels/rollback", first)
    publish(tool, key, store, games / "v2", "rollback", "v2", "1.1.0")


if __name__ == "__main__":
    main()
