"""The three examples as a user runs them, with the installed package: a timed
recording, a recording stopped by signal loss, a preview picture saved as PNG."""

import os
import struct
import subprocess
import sys
import time
import zlib

from conftest import boardctl, env, probe


def example(name: str) -> str:
    return os.path.join(env("QUVO_PYTHON_EXAMPLES"), name)


def test_timed_recording(tmp_path):
    out = tmp_path / "timed.mpg"
    done = subprocess.run([sys.executable, example("timed_recording.py"), "--preset", "svcd", "--seconds", "2",
                           os.fspath(out)], capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stdout + done.stderr
    assert "limit 4096 GiB" in done.stdout
    assert probe(out) == "mpeg2video 480x576"


def test_recording_stops_on_signal_loss(tmp_path):
    boardctl("signal", "on")
    out = tmp_path / "lost.mpg"
    recorder = subprocess.Popen([sys.executable, example("stop_on_signal_loss.py"), "--preset", "vcd",
                                 "--max-seconds", "30", os.fspath(out)], stdout=subprocess.PIPE, text=True)
    try:
        assert "until the signal is lost" in recorder.stdout.readline()
        time.sleep(1.5)
        boardctl("signal", "off")
        output, _ = recorder.communicate(timeout=20)
    finally:
        recorder.kill()
        boardctl("signal", "on")
    assert recorder.returncode == 0 and output.startswith("signal lost after"), output
    assert probe(out) == "mpeg1video 352x288"


def test_preview_snapshot_is_a_png(tmp_path):
    out = tmp_path / "picture.png"
    done = subprocess.run([sys.executable, example("preview_snapshot.py"), os.fspath(out)],
                          capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stdout + done.stderr
    data = out.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    assert (width, height, depth, colour) == (352, 288, 8, 2)
    idat = data.index(b"IDAT")
    (length,) = struct.unpack(">I", data[idat - 4:idat])
    assert len(zlib.decompress(data[idat + 4:idat + 4 + length])) == height * (1 + width * 3)
