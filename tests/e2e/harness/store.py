"""What the test store published and what the launcher asked of it: the expected installation and
the requests in the servers' access log."""
import hashlib
import json
from dataclasses import dataclass
from pathlib import Path


@dataclass
class Request:
    uri: str
    range: str  # "bytes=first-last", or "-" for a whole document
    status: int
    sent: int

    @property
    def blob(self) -> str:
        """The digest of a blob request, else empty."""
        path = self.uri.split("?")[0]
        return path.rsplit("/blobs/", 1)[1] if "/blobs/" in path else ""

    @property
    def complete(self) -> bool:
        """The whole answer arrived (a whole range, or a whole document)."""
        if self.range.startswith("bytes="):
            first, last = (int(v) for v in self.range[6:].split("-"))
            return self.status == 206 and self.sent == last - first + 1
        return self.status == 200


class Store:
    def __init__(self, env_dir: Path):
        expected = json.loads((env_dir / "e2e-expected.json").read_text())
        self.files, self.launch_args, self.island = expected["files"], expected["launch_args"], expected["island"]
        self.access_log = env_dir / "access.log"

    def is_island(self, path: str) -> bool:
        return path.startswith(self.island.rstrip("*"))

    def island_blobs(self) -> set:
        return {digest for path, digest in self.files.items() if self.is_island(path)}

    def log_position(self) -> int:
        return self.access_log.stat().st_size if self.access_log.exists() else 0

    def requests_since(self, position: int) -> list:
        with open(self.access_log, "rb") as log:
            log.seek(position)
            lines = log.read().decode("utf-8", "replace").splitlines()
        found = []
        for line in lines:
            fields = line.split("|")
            if len(fields) >= 6 and "/e2e/" in fields[0]:
                found.append(Request(fields[0], fields[1], int(fields[4]), int(fields[5])))
        return found

    def check_install(self, install_dir: Path, island: bool = False) -> None:
        """Every published file byte for byte; the full map only when selected."""
        for path, digest in self.files.items():
            target = install_dir / path
            if self.is_island(path) and not island:
                assert not target.exists(), f"{path} installed without the full map"
                continue
            assert target.is_file(), f"{path} missing from {install_dir}"
            assert hashlib.sha256(target.read_bytes()).hexdigest() == digest, f"{path} differs from the release"


def game_starts(record: Path) -> list:
    """(working folder, command line) of every start of the stand-in game."""
    if not record.exists():
        return []
    return [tuple(line.split("\t", 1)) for line in record.read_text(encoding="utf-8").splitlines() if line]
