"""The encoder board: one :class:`Device` per process, used from the thread that
opened it.

The SDK drives one board per process and starts the component library for the
calling thread, so a second open device, or a call from another thread, is
refused here before it reaches the library::

    with quvo.Device() as board:
        board.apply_preset(quvo.DVD)
        board.set_capture_file("out.mpg")
        board.start_capture()
        ...
        board.stop_capture()

Every method raises :class:`QuvoError` when the SDK answers with the error
severity. Information and warning codes are not errors: the few readings that
may carry one return a :class:`Reading` (value and code), every call leaves its
code in :attr:`Device.last_result`.

Graph events: the SDK posts a message to a registered window whenever the running
graph has queued an event, and the registration ends with every teardown. The
device therefore registers its event window again before every start: its own
window, or the one given to :meth:`Device.set_event_window`. While registered,
:attr:`Device.event_fd` is a file descriptor that is readable exactly while
events are queued (for ``select``, ``selectors`` or an event loop); read the
events with :meth:`Device.graph_status`, never from the descriptor itself.
"""

from __future__ import annotations

import atexit
import ctypes
import os
import select
import threading
import warnings
from typing import NamedTuple, Optional, Union

from ._native import libraries
from .codes import INIT_WARNINGS, InitStatus, QuvoError, QuvoInitError, Result, check
from .constants import (
    DEVICE_EVENT_MESSAGE,
    AudioFormat,
    AudioRate,
    Channel,
    CompressionStandard,
    DebugTarget,
    GraphState,
    Output,
    PlaybackMode,
    PreviewMode,
    ProcAmp,
    RateMode,
    Resolution,
    TvStandard,
)
from .presets import Preset
from .records import AudioParameters, ControlRange, Guid, SdkVersion, SupportedVideoBitrates, VideoBitrate
from .window import Window

__all__ = ["Device", "Reading", "InitWarning", "sdk_version", "set_debug", "set_filters"]

PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]

# No fragment splitting / no total limit in practice (the writer caps a fragment
# at the largest file of the file system).
NO_LIMIT = 0xFFFFFFFF
_KIB_256 = 256 * 1024


class Reading(NamedTuple):
    """A value with the code it came with (success, information or warning)."""

    value: object
    result: Result


class InitWarning(UserWarning):
    """Initialization succeeded with warning bits set (filters missing)."""


_open_device: Optional["Device"] = None
_open_lock = threading.Lock()


def _sdk():  # type: ignore[no-untyped-def]
    return libraries().sdk


def _require_caller_thread() -> None:
    device = _open_device
    if device is not None:
        device._check_thread()


def sdk_version() -> SdkVersion:
    """The SDK's version (1, 0, 1); needs no device."""
    _require_caller_thread()
    version = SdkVersion()
    check("QuvoGetSDKVersion", _sdk().QuvoGetSDKVersion(ctypes.byref(version)))
    return version


def set_debug(level: Optional[int] = None, target: Optional[DebugTarget] = None) -> None:
    """Sets the diagnostic log's level (0 to 6; 1 at load) and target (none at load).
    A file target starts a new file in the current folder."""
    _require_caller_thread()
    if level is not None:
        check("QuvoSetDebugLevel", _sdk().QuvoSetDebugLevel(level))
    if target is not None:
        check("QuvoSetDebugTarget", _sdk().QuvoSetDebugTarget(int(target)))


def set_filters(splitter: Union[Guid, str], audio_decoder: Union[Guid, str], video_decoder: Union[Guid, str]) -> None:
    """Chooses the MPEG splitter and decoders by class identifier instead of the
    SDK's search; takes effect at the next initialization and in every later graph."""
    _require_caller_thread()
    ids = [g if isinstance(g, Guid) else Guid.parse(g) for g in (splitter, audio_decoder, video_decoder)]
    check("QuvoSetFilters", _sdk().QuvoSetFilters(*(ctypes.byref(g) for g in ids)))


@atexit.register
def _close_at_exit() -> None:
    # The library would stop a running graph at unload, with its threads calling
    # into a finalizing interpreter; closing here stops it first.
    device = _open_device
    if device is not None and device._thread == threading.get_ident():
        device.close()


def _u32() -> ctypes.c_uint32:
    return ctypes.c_uint32(0)


class Device:
    """The encoder board. ``open()`` (or ``with``) initializes the SDK, ``close()``
    uninitializes it; a closed device may be opened again."""

    def __init__(self) -> None:
        self._thread: Optional[int] = None
        self._events: Optional[Window] = None  # our own event window, while open
        self._event_window: Optional[Window] = None  # the one registered before each start
        self._event_message = DEVICE_EVENT_MESSAGE
        self._preview_window: Optional[Window] = None
        self._posted = threading.Event()
        self.init_status = InitStatus(0)
        self.last_result = Result.SUCCESS

    # ---- opening and closing -------------------------------------------------

    def open(self) -> InitStatus:
        """Finds and opens the board and reads its properties. Returns the status
        bits, which on success are warnings only (also issued as
        :class:`InitWarning`); raises :class:`QuvoInitError` on failure, after
        undoing what the attempt left."""
        global _open_device
        with _open_lock:
            if _open_device is not None:
                raise RuntimeError("a Device is open already: the SDK drives one board per process")
            _open_device = self
        self._thread = threading.get_ident()
        status = ctypes.c_uint32(0)
        code = _sdk().QuvoInitialize(ctypes.byref(status))
        self.init_status = InitStatus(status.value)
        if code >> 30 == 3:
            _sdk().QuvoUninitialize()  # releases what the failed attempt created
            self._release()
            raise QuvoInitError("QuvoInitialize", code, self.init_status)
        self.last_result = check("QuvoInitialize", code)
        self._events = Window(on_message=self._on_event_message)
        self._event_window = self._events
        if self.init_status & INIT_WARNINGS:
            warnings.warn(f"initialized with warnings: {self.init_status!r}", InitWarning, stacklevel=2)
        return self.init_status

    def close(self) -> None:
        """Stops a running graph, releases the board and shuts the SDK down for this
        thread. Closing a closed device does nothing."""
        if self._thread is None:
            return
        self._check_thread()
        _sdk().QuvoUninitialize()
        self._release()

    def _release(self) -> None:
        global _open_device
        if self._events is not None:
            self._events.destroy()
        self._events = self._event_window = self._preview_window = None
        self._thread = None
        with _open_lock:
            _open_device = None

    def __enter__(self) -> "Device":
        self.open()
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    @property
    def is_open(self) -> bool:
        return self._thread is not None

    def _check_thread(self) -> None:
        if self._thread is None:
            raise RuntimeError("the Device is not open")
        if threading.get_ident() != self._thread:
            raise RuntimeError("a Device is used only from the thread that opened it")

    def _call(self, name: str, *args: object) -> Result:
        self._check_thread()
        self.last_result = check(name, getattr(_sdk(), name)(*args))
        return self.last_result

    def _get_u32(self, name: str, *leading: object) -> int:
        value = _u32()
        self._call(name, *leading, ctypes.byref(value))
        return value.value

    def _get_record(self, name: str, record: ctypes.Structure, *leading: object):  # type: ignore[no-untyped-def]
        self._call(name, *leading, ctypes.byref(record))
        return record

    # ---- the device ---------------------------------------------------------

    @property
    def name(self) -> str:
        """The board's friendly name."""
        length = _u32()
        try:
            self._call("QuvoGetDeviceName", None, 0, ctypes.byref(length))
        except QuvoError as e:  # a null buffer answers with the length
            if e.result != Result.ERR_INVALID_POINTER:
                raise
        buffer = (ctypes.c_uint16 * (length.value + 1))()
        self._call("QuvoGetDeviceName", buffer, len(buffer), ctypes.byref(length))
        return bytes(buffer)[: 2 * length.value].decode("utf-16-le")

    def capabilities(self) -> int:
        """The device capability mask (15)."""
        return self._get_u32("QuvoGetDeviceCapabilities")

    def playback_capabilities(self) -> int:
        """Another name for :meth:`capabilities`."""
        return self._get_u32("QuvoGetPlaybackCapabilities")

    # ---- video encoder ----------------------------------------------------

    def compression_standards(self) -> CompressionStandard:
        return CompressionStandard(self._get_u32("QuvoGetSupportedVideoCompressionStandards"))

    def compression_standard(self) -> CompressionStandard:
        return CompressionStandard(self._get_u32("QuvoGetCurrentVideoCompressionStandard"))

    def set_compression_standard(self, standard: CompressionStandard) -> Result:
        """Selects MPEG-1 or MPEG-2; resets frame size and bit rates to its defaults."""
        return self._call("QuvoSetVideoCompressionStandard", int(standard))

    def resolutions(self) -> Resolution:
        """Frame sizes offered under the current TV standard."""
        return Resolution(self._get_u32("QuvoGetSupportedVideoResolutions"))

    def resolution(self) -> Resolution:
        """The current frame size (0 if none matches)."""
        return Resolution(self._get_u32("QuvoGetCurrentVideoResolution"))

    def set_resolution(self, resolution: Resolution) -> Result:
        return self._call("QuvoSetVideoResolution", int(resolution))

    def supported_bitrates(self) -> SupportedVideoBitrates:
        """Bit-rate limits and steps of the current compression standard."""
        return self._get_record("QuvoGetSupportedVideoBitrates", SupportedVideoBitrates())

    def bitrate(self) -> VideoBitrate:
        """The current rate mode, bit rate and peak bit rate."""
        return self._get_record("QuvoGetCurrentVideoBitrate", VideoBitrate())

    def set_bitrate(self, rate_mode: RateMode, bitrate: int, peak_bitrate: Optional[int] = None) -> Result:
        """Sets rate mode and bit rates (bits per second); the peak defaults to the rate."""
        peak = bitrate if peak_bitrate is None else peak_bitrate
        return self._call("QuvoSetVideoBitrate", int(rate_mode), bitrate, peak)

    def frame_rate(self) -> Reading:
        """Frames per second of the input (29.97 or 25.0); 0.0 with
        ``Result.INFO_NO_SIGNAL`` when no signal is locked."""
        value = ctypes.c_double(0)
        result = self._call("QuvoGetCurrentFrameRate", ctypes.byref(value))
        return Reading(value.value, result)

    def apply_preset(self, preset: Preset) -> None:
        """Sends a preset's compression standard, frame size and bit rates, and the
        board's one audio format and sampling rate."""
        self.set_compression_standard(preset.standard)
        self.set_resolution(preset.resolution)
        self.set_bitrate(preset.rate_mode, preset.bitrate, preset.peak_bitrate)
        self.set_audio_format(AudioFormat.DEFAULT)
        self.set_audio_sampling_rate(AudioRate.R48000)

    # ---- audio encoder ----------------------------------------------------

    def audio_parameters(self) -> AudioParameters:
        return self._get_record("QuvoGetSupportedAudioParameters", AudioParameters())

    def audio_format(self) -> int:
        return self._get_u32("QuvoGetCurrentAudioFormat")

    def set_audio_format(self, audio_format: int) -> Result:
        """Accepts 16 (:attr:`AudioFormat.DEFAULT`) only."""
        return self._call("QuvoSetAudioFormat", int(audio_format))

    def audio_bitrate(self) -> int:
        return self._get_u32("QuvoGetCurrentAudioBitrate")

    def supported_audio_bitrates(self) -> int:
        """Another name for :meth:`audio_bitrate`."""
        return self._get_u32("QuvoGetSupportedAudioBitrates")

    def set_audio_bitrate(self, code: int) -> Result:
        """Accepts 1 only and changes nothing."""
        return self._call("QuvoSetAudioBitrate", int(code))

    def audio_sampling_rates(self) -> AudioRate:
        return AudioRate(self._get_u32("QuvoGetSupportedAudioSamplingRates"))

    def audio_sampling_rate(self) -> AudioRate:
        return AudioRate(self._get_u32("QuvoGetCurrentAudioSamplingRate"))

    def set_audio_sampling_rate(self, rate: AudioRate) -> Result:
        """Accepts 48 kHz only."""
        return self._call("QuvoSetAudioSamplingRate", int(rate))

    # ---- video signal -----------------------------------------------------

    def tv_standards(self) -> TvStandard:
        return TvStandard(self._get_u32("QuvoGetSupportedTVStandards"))

    def tv_standard(self) -> Reading:
        """The decoder's TV standard, with ``Result.WARN_TV_STANDARD_MISMATCH`` when
        the lines detected contradict it."""
        value = self._get_u32("QuvoGetCurrentTVStandard")
        return Reading(TvStandard(value), self.last_result)

    def set_tv_standard(self, standard: TvStandard) -> Result:
        return self._call("QuvoSetTVStandard", int(standard))

    def lines_detected(self) -> Reading:
        """Lines per frame of the input: 0 (not locked), 525 or 625; with the
        mismatch warning when they contradict the TV standard."""
        value = self._get_u32("QuvoGetNumberOfLinesDetected")
        return Reading(value, self.last_result)

    def signal_detected(self) -> bool:
        """True when the decoder reports horizontal lock."""
        return bool(self._get_u32("QuvoIsSignalDetected"))

    def procamp_capabilities(self) -> ProcAmp:
        return ProcAmp(self._get_u32("QuvoGetProcAmpCapabilities"))

    def procamp_range(self, prop: ProcAmp) -> ControlRange:
        return self._get_record("QuvoGetProcAmpRange", ControlRange(), int(prop))

    def procamp(self, prop: ProcAmp) -> int:
        """Reads the value from the device."""
        value = ctypes.c_int32(0)
        self._call("QuvoGetCurrentProcAmpValue", int(prop), ctypes.byref(value))
        return value.value

    def set_procamp(self, prop: ProcAmp, value: int) -> Result:
        return self._call("QuvoSetProcAmpValue", int(prop), value)

    # ---- inputs and outputs -----------------------------------------------

    def input_channels(self) -> Channel:
        return Channel(self._get_u32("QuvoGetSupportedInputChannels"))

    def input_channel(self) -> Channel:
        return Channel(self._get_u32("QuvoGetCurrentInputChannel"))

    def set_input_channel(self, channel: Channel) -> Result:
        """Routes composite or S-video to the encoder."""
        return self._call("QuvoSetInputChannel", int(channel))

    def output_channels(self) -> Channel:
        return Channel(self._get_u32("QuvoGetSupportedOutputChannels"))

    def set_output_channel(self, channel: Channel) -> Result:
        """Not supported by the board: always raises ``ERR_NOT_SUPPORTED``."""
        return self._call("QuvoSetOutputChannel", int(channel))

    def get_current_output_channel(self, channel: int = 0) -> Result:
        """Another name for :meth:`set_output_channel`; writes nothing."""
        return self._call("QuvoGetCurrentOutputChannel", int(channel))

    def output(self) -> Output:
        """What the board shows on its video output."""
        return Output(self._get_u32("QuvoGetCurrentOutput"))

    def set_output(self, output: Output) -> Result:
        """Accepts :attr:`Output.ENCODER` only."""
        return self._call("QuvoSetCurrentOutput", int(output))

    def enable_vcr_source(self) -> Result:
        """Not supported: always raises ``ERR_NOT_SUPPORTED``."""
        return self._call("QuvoEnableVCRSource")

    def disable_vcr_source(self) -> Result:
        """Not supported: always raises ``ERR_NOT_SUPPORTED``."""
        return self._call("QuvoDisableVCRSource")

    def enable_analog_video_decoder(self) -> Result:
        """Not supported: always raises ``ERR_NOT_SUPPORTED``."""
        return self._call("QuvoEnableAnalogVideoDecoder")

    def disable_analog_video_decoder(self) -> Result:
        """Not supported: always raises ``ERR_NOT_SUPPORTED``."""
        return self._call("QuvoDisableAnalogVideoDecoder")

    # ---- audio controls ---------------------------------------------------

    def audio_capabilities(self) -> int:
        return self._get_u32("QuvoGetAudioCapabilities")

    def audio_property_range(self, prop: int = 1) -> ControlRange:
        """The volume's range: 0 down to -50, step 1."""
        return self._get_record("QuvoGetSupportedAudioPropertyRange", ControlRange(), int(prop))

    def audio_property(self, prop: int = 1) -> int:
        """The last volume read or written."""
        value = ctypes.c_int32(0)
        self._call("QuvoGetCurrentAudioPropertyValue", int(prop), ctypes.byref(value))
        return value.value

    def set_audio_property(self, prop: int, value: int) -> Result:
        return self._call("QuvoSetAudioPropertyValue", int(prop), value)

    def audio_mute_capabilities(self) -> int:
        return self._get_u32("QuvoGetAudioMuteCapabilities")

    def mute(self, prop: int = 64) -> bool:
        """The last mute value read or written."""
        return bool(self._get_u32("QuvoGetAudioMute", int(prop)))

    def set_mute(self, muted: bool, prop: int = 64) -> Result:
        return self._call("QuvoSetAudioMute", int(prop), int(bool(muted)))

    # ---- preview window and events ---------------------------------------

    def preview_capabilities(self) -> int:
        return self._get_u32("QuvoGetPreviewCapabilities")

    def set_preview_mode(self, mode: PreviewMode) -> Result:
        """What the next start shows and plays on the computer."""
        return self._call("QuvoSetPreviewMode", int(mode))

    def set_preview_window(self, window: Window, left: int = 0, top: int = 0, width: int = 0,
                           height: int = 0) -> Result:
        """The window the video goes to, with the picture's rectangle in its client
        area; applied at every start."""
        result = self._call("QuvoSetPreviewWindow", window.handle, left, top, width, height)
        self._preview_window = window
        return result

    def set_full_screen(self, full_screen: bool) -> Result:
        """Asks for full screen (or windowed) at the next start; refused while a graph runs."""
        return self._call("QuvoSetPreviewToFullScreen", 1 if full_screen else 0)

    def set_event_window(self, window: Optional[Window], message: int = DEVICE_EVENT_MESSAGE) -> Result:
        """Registers ``window`` for graph events with ``message`` now and again before
        every start; ``None`` goes back to the device's own window."""
        self._check_thread()
        self._event_window = window if window is not None else self._events
        self._event_message = message
        return self._register_events()

    def _register_events(self) -> Result:
        assert self._event_window is not None
        self._posted.clear()
        return self._call("QuvoSetEventNotificationWindow", self._event_window.handle, self._event_message)

    # Posting thread.
    def _on_event_message(self, message: int, _wparam: int, _lparam: int) -> None:
        if message == self._event_message:
            self._posted.set()

    @property
    def event_posted(self) -> threading.Event:
        """Set when the device's own event window received a graph-event message
        (cleared at each registration)."""
        return self._posted

    @property
    def event_fd(self) -> int:
        """The graph's event descriptor, readable while events are queued. Valid
        while a window is registered (from a start until the next stop); do not
        read or close it."""
        return self._get_u32("QuvoGetFilterGraphEvent")

    def graph_state(self) -> GraphState:
        """The current graph's state, without taking an event."""
        return GraphState(self._get_u32("QuvoGetGraphState"))

    def graph_status(self, timeout_ms: int = 0) -> GraphState:
        """Takes one event from the queue (waiting up to ``timeout_ms``) and returns
        the state after it; the current state when none came."""
        state = _u32()
        self._call("QuvoGetCurrentGraphStatus", ctypes.byref(state), timeout_ms)
        return GraphState(state.value)

    def wait_event(self, timeout: Optional[float] = None) -> Optional[GraphState]:
        """Waits on :attr:`event_fd` for up to ``timeout`` seconds; takes the event
        and returns the state after it, or None when no event came."""
        fd = self.event_fd
        ready, _, _ = select.select([fd], [], [], timeout)
        return self.graph_status(0) if ready else None

    # ---- capture ----------------------------------------------------------

    def start_preview(self) -> Result:
        """Builds and runs the preview graph (the writer waits for :meth:`start_recording`)."""
        self._register_events()
        return self._call("QuvoStartPreview")

    def stop_preview(self) -> Result:
        """Stops and tears down a preview or capture graph."""
        return self._call("QuvoStopPreview")

    def start_capture(self) -> Result:
        """Builds and runs the capture graph, writing from the start."""
        self._register_events()
        return self._call("QuvoStartCapture")

    def stop_capture(self) -> Result:
        """Stops and tears down a capture or preview graph; closes the files."""
        return self._call("QuvoStopCapture")

    def start_recording(self) -> Result:
        """During a preview: starts writing from the next start point of the stream."""
        return self._call("QuvoStartRecording")

    def stop_recording(self) -> Result:
        """Ends the recording and closes its files; the preview goes on."""
        return self._call("QuvoStopRecording")

    def set_capture_file(self, path: PathLike) -> Result:
        """The file the next capture or recording writes (fragments are numbered
        beside it). During a preview without a recording it reaches the writer at once."""
        name = os.fsencode(path)
        return self._call("QuvoSetCaptureFileName", name, len(name))

    def set_file_size_limit(self, units: int) -> Result:
        """The fragment size in units of 256 KiB; ``NO_LIMIT`` for no splitting."""
        return self._call("QuvoSetFileSizeLimit", units)

    def set_fragment_size(self, size_bytes: Optional[int]) -> Result:
        """The fragment size in bytes (rounded down to 256 KiB, at least one unit);
        None for no splitting."""
        units = NO_LIMIT if size_bytes is None else max(1, min(NO_LIMIT, size_bytes // _KIB_256))
        return self.set_file_size_limit(units)

    def set_capture_limit(self, kib: int) -> Result:
        """The total a capture may write, in KiB. Each capture has a limit: without
        this call it stops writing after 2 GiB; ``NO_LIMIT`` lifts it to 4 TiB."""
        return self._call("QuvoSetCaptureLimit", kib)

    def bytes_streamed(self) -> int:
        """Bytes the current graph's writer has written since its start."""
        value = ctypes.c_uint64(0)
        self._call("QuvoGetBytesStreamed", ctypes.byref(value))
        return value.value

    # ---- playback ---------------------------------------------------------

    def set_playback_file(self, path: PathLike) -> Result:
        """The file the next playback plays (the same setting as the capture file)."""
        name = os.fsencode(path)
        return self._call("QuvoSetPlaybackFileName", name, len(name))

    def set_playback_mode(self, mode: PlaybackMode) -> Result:
        return self._call("QuvoSetPlaybackMode", int(mode))

    def start_playback(self) -> Result:
        """Builds and runs the playback graph; it reports the stream's end as an event
        (state STOPPED)."""
        self._register_events()
        return self._call("QuvoStartPlayback")

    def stop_playback(self) -> Result:
        return self._call("QuvoStopPlayback")

    def playback_position(self, value: int = 0) -> Result:
        """Not implemented: always raises ``ERR_NOT_IMPLEMENTED``."""
        return self._call("QuvoGetPlaybackCurrentPos", value)

    def playback_duration(self, value: int = 0) -> Result:
        """Not implemented: always raises ``ERR_NOT_IMPLEMENTED``."""
        return self._call("QuvoGetPlaybackFileDuration", value)

    def set_playback_position(self, value: int) -> Result:
        """Not implemented: always raises ``ERR_NOT_IMPLEMENTED``."""
        return self._call("QuvoSetPlaybackCurrentPos", value)
