#!/usr/bin/env python3
"""Starts a preview, takes one picture from it and saves it as a PNG file.

    preview_snapshot.py [--preset vcd|svcd|dvd] [--skip N] FILE.png

The preview's pictures come to a frame callback of a window made with the
platform's window API, on the renderer's thread: the callback only hands the
picture over. The PNG is written with the standard library alone.
"""

import argparse
import queue
import struct
import sys
import zlib

import quvo


def png(width: int, height: int, rgb: bytes) -> bytes:
    """An 8-bit RGB PNG of packed rows."""
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    row = width * 3
    raw = b"".join(b"\x00" + rgb[y * row:(y + 1) * row] for y in range(height))  # filter 0 on each row
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--preset", choices=sorted(quvo.PRESETS), default="vcd")
    parser.add_argument("--skip", type=int, default=5, help="pictures to let pass first")
    args = parser.parse_args()

    frames: "queue.Queue[quvo.Frame]" = queue.Queue(maxsize=1)

    def on_frame(frame: quvo.Frame) -> None:  # renderer thread
        try:
            frames.put_nowait(frame)
        except queue.Full:
            pass  # the main thread has not taken the last one yet

    try:
        with quvo.Device() as board, quvo.Window(on_frame=on_frame) as window:
            board.apply_preset(quvo.PRESETS[args.preset])
            board.set_preview_mode(quvo.PreviewMode.VIDEO)
            board.set_preview_window(window)
            board.start_preview()
            try:
                for _ in range(args.skip + 1):
                    frame = frames.get(timeout=10)
            finally:
                board.stop_preview()
    except queue.Empty:
        print("preview_snapshot: no picture came within 10 s", file=sys.stderr)
        return 3
    except quvo.QuvoError as error:
        print(f"preview_snapshot: {error}", file=sys.stderr)
        return 2
    with open(args.file, "wb") as out:
        out.write(png(frame.width, frame.height, frame.rgb()))
    print(f"saved a {frame.width} x {frame.height} picture to {args.file}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
