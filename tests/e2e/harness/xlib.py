"""Parts of the X screen read straight from the server with libX11 through ctypes: a few pixels in
milliseconds, where a whole xwd dump takes a large part of a second on a loaded machine; and the
keyboard's auto-repeat rate."""
import ctypes
from contextlib import contextmanager

ZPIXMAP = 2
ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)


class _Functions(ctypes.Structure):
    _fields_ = [("create_image", ctypes.c_void_p), ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p)),
                ("get_pixel", ctypes.c_void_p), ("put_pixel", ctypes.c_void_p), ("sub_image", ctypes.c_void_p),
                ("add_pixel", ctypes.c_void_p)]


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p), ("f", _Functions)]


_x11 = ctypes.CDLL("libX11.so.6")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.POINTER(_XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDisplayWidth.argtypes = _x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XkbGetAutoRepeatRate.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.POINTER(ctypes.c_uint),
                                      ctypes.POINTER(ctypes.c_uint)]
_x11.XkbSetAutoRepeatRate.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint, ctypes.c_uint]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
XKB_USE_CORE_KEYBOARD = 0x100
_x11.XSetErrorHandler.restype = ctypes.c_void_p
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


@_ERROR_HANDLER
def _report_only(_display, _event) -> int:
    # Xlib's default handler ends the process; a failed request shows as a failed XGetImage instead.
    return 0


_x11.XSetErrorHandler(_report_only)


class Connection:
    def __init__(self, display: str):
        self.handle = _x11.XOpenDisplay(display.encode())
        if not self.handle:
            raise RuntimeError(f"cannot open X display {display}")
        self.root = _x11.XDefaultRootWindow(self.handle)
        self.width, self.height = _x11.XDisplayWidth(self.handle, 0), _x11.XDisplayHeight(self.handle, 0)

    def grab(self, left: int, top: int, width: int, height: int) -> tuple:
        """(bytes per line, the pixels as the server keeps them: 4 bytes each, B G R X)."""
        image = _x11.XGetImage(self.handle, self.root, left, top, width, height, ALL_PLANES, ZPIXMAP)
        if not image:
            raise RuntimeError(f"XGetImage failed for {width} x {height} at {left}, {top}")
        try:
            fields = image.contents
            if fields.bits_per_pixel != 32 or (fields.red_mask, fields.blue_mask) != (0xFF0000, 0xFF):
                raise RuntimeError(f"unexpected X image layout: {fields.bits_per_pixel} bits per pixel")
            return fields.bytes_per_line, ctypes.string_at(fields.data, fields.bytes_per_line * height)
        finally:
            image.contents.f.destroy_image(ctypes.cast(image, ctypes.c_void_p))

    @contextmanager
    def key_repeat(self, delay_ms: int, interval_ms: int):
        """A held key repeats after delay_ms and then every interval_ms during the block (the server
        passes the rate on to every keyboard, xdotool's too), at its former rate afterwards."""
        delay, interval = ctypes.c_uint(), ctypes.c_uint()
        if not _x11.XkbGetAutoRepeatRate(self.handle, XKB_USE_CORE_KEYBOARD, ctypes.byref(delay),
                                         ctypes.byref(interval)):
            raise RuntimeError("the X server has no keyboard auto-repeat rate")
        self._set_key_repeat(delay_ms, interval_ms)
        try:
            yield
        finally:
            self._set_key_repeat(delay.value, interval.value)

    def _set_key_repeat(self, delay_ms: int, interval_ms: int) -> None:
        if not _x11.XkbSetAutoRepeatRate(self.handle, XKB_USE_CORE_KEYBOARD, delay_ms, interval_ms):
            raise RuntimeError("the X server refused the keyboard auto-repeat rate")
        _x11.XSync(self.handle, 0)

    def close(self) -> None:
        _x11.XCloseDisplay(self.handle)
