"""Opening the board: one Device per process, used from its own thread; what
initialization reports on success (warning bits) and on failure (the reasons);
information and warning codes returned with their values, errors raised."""

import threading
import time

import pytest

import quvo
from conftest import boardctl, register


def test_one_device_used_from_its_thread(board):
    assert board.init_status == quvo.InitStatus(0)
    assert board.name == "Kestor Recorder A"
    version = quvo.sdk_version()
    assert (version.major, version.minor, version.build) == (1, 0, 1)
    with pytest.raises(RuntimeError, match="one board per process"):
        quvo.Device().open()
    seen = []
    worker = threading.Thread(target=lambda: seen.append(pytest.raises(RuntimeError, board.capabilities)))
    worker.start()
    worker.join()
    assert "opened it" in str(seen[0].value)
    assert board.capabilities() == 15


def test_initialization_reports_warnings_and_failures():
    register("MpegDecoders", unregister=True)
    try:
        with pytest.warns(quvo.InitWarning), quvo.Device() as device:
            assert device.init_status == quvo.InitStatus.MPEG_FILTERS_MISSING
    finally:
        register("MpegDecoders")
    boardctl("devices", "Kestor Recorder A", "Kestor Studio C")
    try:
        with pytest.raises(quvo.QuvoInitError) as failed:
            quvo.Device().open()
    finally:
        boardctl("devices", "--default")
    assert failed.value.result == quvo.Result.ERR_FAILED
    assert failed.value.status & quvo.InitStatus.MULTIPLE_DEVICES
    with quvo.Device() as device:  # the failed attempt left nothing behind
        assert device.init_status == quvo.InitStatus(0)


def wait_for(condition, seconds=3.0):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()


def test_information_and_warnings_come_with_values_errors_raise(board):
    assert board.frame_rate() == (25.0, quvo.Result.SUCCESS)
    boardctl("signal", "off")
    assert wait_for(lambda: not board.signal_detected())
    assert board.frame_rate() == (0.0, quvo.Result.INFO_NO_SIGNAL)
    boardctl("signal", "on")
    boardctl("lines", "525")
    assert wait_for(lambda: board.lines_detected().value == 525)
    assert board.tv_standard() == (quvo.TvStandard.PAL_B, quvo.Result.WARN_TV_STANDARD_MISMATCH)
    assert board.last_result == quvo.Result.WARN_TV_STANDARD_MISMATCH
    with pytest.raises(quvo.QuvoError, match="QuvoSetAudioFormat failed: QUVO_ERR_INVALID_PARAMETER") as raised:
        board.set_audio_format(3)
    assert raised.value.result == quvo.Result.ERR_INVALID_PARAMETER
    board.apply_preset(quvo.SVCD)
    assert board.resolution() == quvo.Resolution.R480x576
    assert (board.bitrate().rateMode, board.bitrate().bitrate) == (quvo.RateMode.VARIABLE, 2375000)
