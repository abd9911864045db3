#!/usr/bin/env python3
"""Records until the board's input signal is lost (or a time limit passes).

    stop_on_signal_loss.py [--preset vcd|svcd|dvd] [--max-seconds N] FILE

The signal is asked for twice a second, as the desktop program does. With the
virtual board, `boardctl signal off` takes the signal away.
"""

import argparse
import sys
import time

import quvo


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--preset", choices=sorted(quvo.PRESETS), default="dvd")
    parser.add_argument("--max-seconds", type=float, default=3600.0)
    args = parser.parse_args()

    try:
        with quvo.Device() as board:
            if not board.signal_detected():
                print("stop_on_signal_loss: no input signal to record", file=sys.stderr)
                return 1
            board.apply_preset(quvo.PRESETS[args.preset])
            board.set_preview_mode(quvo.PreviewMode.NONE)
            board.set_capture_limit(quvo.NO_LIMIT)
            board.set_capture_file(args.file)
            board.start_capture()
            print(f"recording {args.preset} to {args.file} until the signal is lost", flush=True)
            start = time.monotonic()
            reason = "time limit reached"
            while time.monotonic() - start < args.max_seconds:
                if board.wait_event(0.5) == quvo.GraphState.FAILED:
                    reason = "the graph failed"
                    break
                if not board.signal_detected():
                    reason = "signal lost"
                    break
            written = board.bytes_streamed()
            board.stop_capture()
    except quvo.QuvoError as error:
        print(f"stop_on_signal_loss: {error}", file=sys.stderr)
        return 2
    print(f"{reason} after {time.monotonic() - start:.1f} s: {written / 1e6:.2f} MB written")
    return 0 if reason != "the graph failed" else 3


if __name__ == "__main__":
    sys.exit(main())
