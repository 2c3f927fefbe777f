"""Pictures of the X screen: xwd's dump parsed with the standard library, pixels read by position,
regions cut, enlarged and saved as PNG."""
import struct
import subprocess
import time
import zlib
from pathlib import Path

from .xlib import Connection


class Image:
    """Rows of RGB bytes."""

    def __init__(self, width: int, height: int, rgb: bytes):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x: int, y: int) -> int:
        at = (y * self.width + x) * 3
        r, g, b = self.rgb[at:at + 3]
        return (r << 16) | (g << 8) | b

    def crop(self, left: int, top: int, right: int, bottom: int) -> "Image":
        left, top = max(0, left), max(0, top)
        right, bottom = min(self.width, right), min(self.height, bottom)
        rows = [self.rgb[(y * self.width + left) * 3:(y * self.width + right) * 3] for y in range(top, bottom)]
        return Image(right - left, bottom - top, b"".join(rows))

    def enlarged(self, factor: int) -> "Image":
        rows = []
        for y in range(self.height):
            row = self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
            wide = b"".join(row[x * 3:x * 3 + 3] * factor for x in range(self.width))
            rows.extend([wide] * factor)
        return Image(self.width * factor, self.height * factor, b"".join(rows))

    def save_png(self, path: Path) -> Path:
        def chunk(kind: bytes, data: bytes) -> bytes:
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        stride = self.width * 3
        raw = b"".join(b"\0" + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 3))
                               + chunk(b"IEND", b""))
        return Path(path)


def load_png(path: Path) -> Image:
    """A picture that save_png wrote (8-bit RGB, no filters, one IDAT chunk)."""
    data = Path(path).read_bytes()
    width, height = struct.unpack(">II", data[16:24])
    at, idat = 8, b""
    while at < len(data):
        (length,), kind = struct.unpack(">I", data[at:at + 4]), data[at + 4:at + 8]
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    raw, stride = zlib.decompress(idat), width * 3
    return Image(width, height, b"".join(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)] for y in range(height)))


def from_bgrx(data: bytes, width: int, height: int, bytes_per_line: int) -> Image:
    """The usual 24-bit X layout, B G R X in memory, reordered with slices (fast)."""
    out = bytearray(width * height * 3)
    for y in range(height):
        row = data[y * bytes_per_line:y * bytes_per_line + width * 4]
        out[y * width * 3:(y + 1) * width * 3:3] = row[2::4]
        out[y * width * 3 + 1:(y + 1) * width * 3:3] = row[1::4]
        out[y * width * 3 + 2:(y + 1) * width * 3:3] = row[0::4]
    return Image(width, height, bytes(out))


def parse_xwd(data: bytes) -> Image:
    fields = struct.unpack(">25I", data[:100])
    header_size, bits_per_pixel, bytes_per_line = fields[0], fields[11], fields[12]
    width, height, byte_order, ncolors = fields[4], fields[5], fields[7], fields[19]
    masks = fields[14:17]
    step = bits_per_pixel // 8
    if step not in (3, 4):
        raise ValueError(f"xwd: {bits_per_pixel} bits per pixel")
    start = header_size + ncolors * 12
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]
    little = byte_order == 0
    if step == 4 and little and masks == (0xFF0000, 0xFF00, 0xFF):
        return from_bgrx(data[start:], width, height, bytes_per_line)
    out = bytearray(width * height * 3)
    for y in range(height):
        for x in range(width):
            at = start + y * bytes_per_line + x * step
            value = int.from_bytes(data[at:at + step], "little" if little else "big")
            at = (y * width + x) * 3
            for i in range(3):
                out[at + i] = (value & masks[i]) >> shifts[i]
    return Image(width, height, bytes(out))


def grab(connection: Connection, left: int, top: int, right: int, bottom: int) -> Image:
    """A region of the screen, read directly from the X server; what lies off the screen reads black."""
    inside = (max(left, 0), max(top, 0), min(right, connection.width), min(bottom, connection.height))
    if inside[0] >= inside[2] or inside[1] >= inside[3]:
        return Image(right - left, bottom - top, bytes((right - left) * (bottom - top) * 3))
    stride, data = connection.grab(inside[0], inside[1], inside[2] - inside[0], inside[3] - inside[1])
    part = from_bgrx(data, inside[2] - inside[0], inside[3] - inside[1], stride)
    if inside == (left, top, right, bottom):
        return part
    rows = [bytes((right - left) * 3)] * (bottom - top)
    for y in range(part.height):
        row = bytearray(rows[inside[1] - top + y])
        row[(inside[0] - left) * 3:(inside[2] - left) * 3] = part.rgb[y * part.width * 3:(y + 1) * part.width * 3]
        rows[inside[1] - top + y] = bytes(row)
    return Image(right - left, bottom - top, b"".join(rows))


def capture(display: str) -> Image:
    """The whole screen through xwd. xwd can fail while a window maps: tried again a few times."""
    error = ""
    for _ in range(5):
        result = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True)
        if result.returncode == 0 and len(result.stdout) > 100:
            return parse_xwd(result.stdout)
        error = result.stderr.decode(errors="replace")
        time.sleep(0.05)
    raise RuntimeError(f"xwd failed: {error}")
