"""Python binding of QuvoSDK, the driver library of the MPEG encoder board.

The SDK drives one board per process through :class:`Device`; window handles for
the preview and for graph events come from :class:`Window`. Results of the error
severity raise :class:`QuvoError`, which names the code.

The libraries are found by their sonames on the system's library path, or at the
files named by ``QUVO_SDK_LIBRARY`` and ``QUVO_PLATFORM_LIBRARY``.
"""

from .codes import InitStatus, QuvoError, QuvoInitError, Result, Severity, check
from .constants import (
    DEVICE_EVENT_MESSAGE,
    PREVIEW_CAPABILITIES,
    AudioBitrate,
    AudioFormat,
    AudioProperty,
    AudioRate,
    Channel,
    CompressionStandard,
    DebugTarget,
    GraphMode,
    GraphState,
    Output,
    PlaybackMode,
    PreviewMode,
    ProcAmp,
    RateMode,
    Resolution,
    TvStandard,
)
from .device import NO_LIMIT, Device, InitWarning, Reading, sdk_version, set_debug, set_filters
from .presets import DVD, PRESETS, SVCD, VCD, Preset
from .records import AudioParameters, ControlRange, Guid, SdkVersion, SupportedVideoBitrates, VideoBitrate
from .window import Frame, Window

__version__ = "1.0.1"

__all__ = [
    "AudioBitrate", "AudioFormat", "AudioParameters", "AudioProperty", "AudioRate", "Channel",
    "CompressionStandard", "ControlRange", "DEVICE_EVENT_MESSAGE", "DVD", "DebugTarget", "Device", "Frame",
    "GraphMode", "GraphState", "Guid", "InitStatus", "InitWarning", "NO_LIMIT", "Output", "PREVIEW_CAPABILITIES",
    "PRESETS", "PlaybackMode", "Preset", "PreviewMode", "ProcAmp", "QuvoError", "QuvoInitError", "RateMode",
    "Reading", "Resolution", "Result", "SVCD", "SdkVersion", "Severity", "SupportedVideoBitrates", "TvStandard",
    "VCD", "VideoBitrate", "Window", "check", "sdk_version", "set_debug", "set_filters",
]
