#!/usr/bin/env python3
"""Records the encoder board for a given time into an MPEG file.

    timed_recording.py [--preset vcd|svcd|dvd] [--seconds N] [--limit-gib G] FILE

Every capture has a total limit, 2 GiB unless the program raises it: at the DVD
preset that is about 45 minutes, so this example raises it (to G GiB, or to the
largest limit the board takes). Graph events are waited for on the device's
event descriptor; a failed or ended stream stops the recording early.
"""

import argparse
import sys
import time

import quvo


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--preset", choices=sorted(quvo.PRESETS), default="dvd")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--limit-gib", type=float, default=None,
                        help="total size limit in GiB (default: no limit in practice)")
    args = parser.parse_args()

    try:
        with quvo.Device() as board:
            board.apply_preset(quvo.PRESETS[args.preset])
            board.set_preview_mode(quvo.PreviewMode.NONE)
            board.set_fragment_size(None)  # one file
            limit_kib = quvo.NO_LIMIT if args.limit_gib is None else int(args.limit_gib * 1024 * 1024)
            board.set_capture_limit(limit_kib)
            board.set_capture_file(args.file)
            board.start_capture()
            print(f"recording {args.preset} to {args.file} for {args.seconds:g} s "
                  f"(limit {limit_kib / 1024 / 1024:.0f} GiB)", flush=True)
            deadline = time.monotonic() + args.seconds
            state = quvo.GraphState.RUNNING
            while (left := deadline - time.monotonic()) > 0:
                state = board.wait_event(min(left, 1.0)) or state
                if state in (quvo.GraphState.FAILED, quvo.GraphState.STOPPED):
                    break
                print(f"{board.bytes_streamed() / 1e6:9.2f} MB", flush=True)
            written = board.bytes_streamed()
            board.stop_capture()
    except quvo.QuvoError as error:
        print(f"timed_recording: {error}", file=sys.stderr)
        return 2
    if state == quvo.GraphState.FAILED:
        print(f"timed_recording: the graph failed after {written / 1e6:.2f} MB", file=sys.stderr)
        return 3
    print(f"done: {written / 1e6:.2f} MB written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
