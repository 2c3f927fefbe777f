"""Text drawn on the screen, read by tesseract: small text is enlarged first, and words are compared
rather than punctuation."""
import re
import subprocess
import tempfile
from pathlib import Path

from .screen import Image


def read(image: Image, language: str = "eng") -> str:
    with tempfile.TemporaryDirectory() as folder:
        picture = image.enlarged(3).save_png(Path(folder) / "text.png")
        result = subprocess.run(["tesseract", str(picture), "-", "--psm", "7", "-l", language],
                                capture_output=True, timeout=30)
    return result.stdout.decode("utf-8", "replace").strip()


def words(text: str) -> list:
    """Lower-case words and single CJK characters, without punctuation or blanks."""
    return re.findall(r"[a-z0-9]+|[\u4e00-\u9fff]", text.lower())


def contains(text: str, expected: str) -> bool:
    wanted, found = words(expected), words(text)
    if all("\u4e00" <= w <= "\u9fff" for w in wanted):
        return "".join(wanted) in "".join(found)
    return " ".join(wanted) in " ".join(found)
