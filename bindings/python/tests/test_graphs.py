"""The graphs through the binding: a capture that ffprobe reads, graph events
through the window API (the message callback and the event descriptor) at the
end of a playback of it, the registration ended by each stop and renewed by each
start, and preview pictures through a window's frame callback."""

import queue
import select
import time

import pytest

import quvo
from conftest import probe


def test_capture_then_playback_reports_its_end_through_the_window(board, tmp_path):
    capture = tmp_path / "capture.mpg"
    board.apply_preset(quvo.VCD)
    board.set_preview_mode(quvo.PreviewMode.NONE)
    board.set_capture_limit(quvo.NO_LIMIT)
    board.set_capture_file(capture)
    board.start_capture()
    assert board.graph_state() == quvo.GraphState.RUNNING
    time.sleep(2)
    assert board.bytes_streamed() > 0
    board.stop_capture()
    assert probe(capture) == "mpeg1video 352x288"
    with pytest.raises(quvo.QuvoError) as ended:  # the teardown ended the registration
        board.graph_status(0)
    assert ended.value.result == quvo.Result.ERR_FAILED

    messages: "queue.Queue[int]" = queue.Queue()
    pictures: "queue.Queue[quvo.Frame]" = queue.Queue()
    with quvo.Window(on_message=lambda message, w, l: messages.put(message)) as events, \
            quvo.Window(on_frame=pictures.put) as screen:
        board.set_event_window(events, 0x4C9)
        board.set_preview_window(screen, 0, 0, 352, 288)
        board.set_playback_file(capture)
        board.set_playback_mode(quvo.PlaybackMode.VIDEO)
        board.start_playback()  # registers the window again
        fd = board.event_fd
        assert messages.get(timeout=15) == 0x4C9
        assert select.select([fd], [], [], 5)[0] == [fd]
        states = [board.graph_status(0)]
        while states[-1] != quvo.GraphState.STOPPED and (state := board.wait_event(5)) is not None:
            states.append(state)
        board.stop_playback()
    assert states[-1] == quvo.GraphState.STOPPED, states
    assert pictures.qsize() > 10


def test_preview_pictures_come_to_the_frame_callback(board):
    frames: "queue.Queue[quvo.Frame]" = queue.Queue()
    with quvo.Window(on_frame=frames.put) as window:
        window.set_client_size(352, 288)
        board.apply_preset(quvo.VCD)
        board.set_preview_mode(quvo.PreviewMode.VIDEO)
        board.set_preview_window(window, 8, 4, 176, 144)
        board.start_preview()
        try:
            frame = frames.get(timeout=10)
        finally:
            board.stop_preview()
    assert (frame.width, frame.height, frame.dest) == (352, 288, (8, 4, 176, 144))
    assert frame.stride >= 352 * 4 and len(frame.bgra) == frame.stride * 288
    assert len(set(frame.rgb()[::3 * 37])) > 4  # the test picture, not a blank one
