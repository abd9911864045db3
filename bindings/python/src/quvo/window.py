"""Window handles for the SDK, made with the platform's C window API.

A :class:`Window` receives the graph's event messages (``on_message``) and, when
given ``on_frame``, every preview picture instead of a window on screen; given
``x11_window`` (an X11 window id of the host's toolkit), the preview is drawn into
that window instead, which stays the host's. Both
callbacks run on the SDK's own threads (the one that posts, the renderer's): copy
what you need, hand it to your own loop, return soon, and never call the SDK
from inside a callback. An exception raised in a callback is printed and dropped.

The callback objects stay alive until :meth:`Window.destroy` (or the end of a
``with`` block), even when the program keeps no reference to the window; once
``destroy`` has returned, no callback of that window runs any more.
"""

from __future__ import annotations

import atexit
import ctypes
import threading
from typing import Callable, NamedTuple, Optional

from ._native import FrameProc, MessageProc, libraries

__all__ = ["Frame", "Window", "MessageCallback", "FrameCallback"]


class Frame(NamedTuple):
    """One preview picture: ``height`` rows of ``width`` pixels, 4 bytes each
    (blue, green, red, unused), ``stride`` bytes from one row to the next, and the
    rectangle (left, top, width, height) the SDK was given for it in the window."""

    width: int
    height: int
    stride: int
    bgra: bytes
    dest: tuple[int, int, int, int]

    def rgb(self) -> bytes:
        """The picture as packed rows of red, green, blue bytes."""
        row = self.width * 4
        pixels = b"".join(self.bgra[y * self.stride : y * self.stride + row] for y in range(self.height))
        out = bytearray(self.width * self.height * 3)
        out[0::3] = pixels[2::4]
        out[1::3] = pixels[1::4]
        out[2::3] = pixels[0::4]
        return bytes(out)


#: (message, wParam, lParam): a message posted to the window.
MessageCallback = Callable[[int, int, int], None]
FrameCallback = Callable[[Frame], None]

# Windows not destroyed yet, by handle: they keep their callback objects alive.
_live: dict[int, "Window"] = {}
# Callback objects of windows destroyed from inside one of their own callbacks:
# that call is still running in them, so they are dropped only later.
_retired: list[object] = []
_lock = threading.Lock()
_in_callback = threading.local()


class Window:
    """A window handle for :meth:`Device.set_preview_window` and
    :meth:`Device.set_event_window`."""

    def __init__(self, on_message: Optional[MessageCallback] = None,
                 on_frame: Optional[FrameCallback] = None, *,
                 x11_window: Optional[int] = None) -> None:
        if on_frame is not None and x11_window is not None:
            raise ValueError("a window takes either on_frame or x11_window")
        self._on_message = on_message
        self._on_frame = on_frame
        self._message_proc = MessageProc(self._deliver_message) if on_message else MessageProc()
        self._frame_proc = FrameProc(self._deliver_frame) if on_frame else FrameProc()
        native = libraries().platform
        if x11_window is not None:
            handle = native.QuvoWindowCreateForX11(x11_window, self._message_proc, None)
            if not handle:
                raise OSError(f"QuvoWindowCreateForX11: no X display, or 0x{x11_window:x} is not a window on it")
        else:
            handle = native.QuvoWindowCreate(self._message_proc, self._frame_proc, None)
            if not handle:
                raise MemoryError("QuvoWindowCreate: out of memory")
        self._handle: Optional[int] = handle
        with _lock:
            _live[handle] = self
            if not getattr(_in_callback, "depth", 0):
                _retired.clear()

    @property
    def handle(self) -> int:
        """The handle the SDK takes; raises once the window is destroyed."""
        if self._handle is None:
            raise ValueError("the window was destroyed")
        return self._handle

    @property
    def alive(self) -> bool:
        return self._handle is not None

    def set_client_size(self, width: int, height: int) -> None:
        """Tells the platform the size of the window's client area (initially 0 x 0)."""
        if not libraries().platform.QuvoWindowSetClientSize(self.handle, width, height):
            raise ValueError(f"cannot set a client size of {width} x {height}")

    def destroy(self) -> None:
        """Destroys the handle; no callback of it runs after this returns (except the
        one that called it). Destroying twice does nothing."""
        handle = self._handle
        if handle is None:
            return
        libraries().platform.QuvoWindowDestroy(handle)
        self._handle = None
        with _lock:
            _live.pop(handle, None)
            procs = (self._message_proc, self._frame_proc)
            if getattr(_in_callback, "depth", 0):
                _retired.append(procs)
            else:
                _retired.clear()

    def __enter__(self) -> "Window":
        return self

    def __exit__(self, *exc: object) -> None:
        self.destroy()

    # Posting thread.
    def _deliver_message(self, _window: int, message: int, wparam: int, lparam: int, _context: int) -> None:
        _in_callback.depth = getattr(_in_callback, "depth", 0) + 1
        try:
            assert self._on_message is not None
            self._on_message(message, wparam, lparam)
        finally:
            _in_callback.depth -= 1

    # Renderer thread: the pixels are valid only during the call, so they are copied.
    def _deliver_frame(self, _window: int, bgra: object, width: int, height: int, stride: int,
                       left: int, top: int, dest_width: int, dest_height: int, _context: int) -> None:
        _in_callback.depth = getattr(_in_callback, "depth", 0) + 1
        try:
            assert self._on_frame is not None
            pixels = ctypes.string_at(bgra, stride * height) if height > 0 and stride > 0 else b""
            self._on_frame(Frame(width, height, stride, pixels, (left, top, dest_width, dest_height)))
        finally:
            _in_callback.depth -= 1


@atexit.register
def _destroy_all() -> None:
    # Before the interpreter goes: no callback may run into a finalizing Python.
    for window in list(_live.values()):
        window.destroy()
