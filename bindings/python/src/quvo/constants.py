"""Named values of the SDK's interface: graph states and modes, preview and
playback modes, encoder, audio, signal and channel codes. The names follow the C
header's without its QUVO_ prefix and group."""

from __future__ import annotations

import enum

__all__ = [
    "GraphState",
    "GraphMode",
    "PreviewMode",
    "PREVIEW_CAPABILITIES",
    "PlaybackMode",
    "DebugTarget",
    "CompressionStandard",
    "Resolution",
    "RateMode",
    "AudioFormat",
    "AudioBitrate",
    "AudioRate",
    "TvStandard",
    "Channel",
    "Output",
    "ProcAmp",
    "AudioProperty",
    "DEVICE_EVENT_MESSAGE",
]


class GraphState(enum.IntEnum):
    """State of the current graph."""

    NONE = 0  #: no graph yet, or a build in progress
    BUILT = 1  #: complete and about to run
    STOPPED = 2  #: torn down, or the stream completed or was aborted by the user
    STOPPING = 3
    RUNNING = 4
    FAILED = 5  #: a failed start, or an error event


class GraphMode(enum.IntEnum):
    """What the current graph is for."""

    NONE = 0
    PREVIEW = 1
    CAPTURE = 2
    PLAYBACK = 3
    PREVIEW_RECORDING = 4  #: a preview with a recording in progress


class PreviewMode(enum.IntEnum):
    """What a preview or capture shows and plays on the computer."""

    NONE = 1  #: capture without any preview
    VIDEO = 2  #: video, no sound
    VIDEO_AUDIO = 8


#: What the preview capabilities report: codes 1, 2, 8 and 16 (16 is refused as a mode).
PREVIEW_CAPABILITIES = 27


class PlaybackMode(enum.IntFlag):
    """Where a playback goes; flags may be combined."""

    TO_DEVICE = 1  #: into the board, shown on its video output
    AUDIO_VIDEO = 2
    AUDIO = 4
    VIDEO = 8


class DebugTarget(enum.IntEnum):
    """Where the diagnostic log goes."""

    NONE = 0
    FILE = 1  #: "TvrSDK_<month>-<day>_<hour>-<minute>.log" in the current folder


class CompressionStandard(enum.IntFlag):
    """Video compression standards; the supported mask is their OR."""

    MPEG1 = 1
    MPEG2 = 2


class Resolution(enum.IntFlag):
    """Frame-size codes, one bit each, named by the PAL size (under NTSC the
    576-line sizes have 480 lines, the 288-line ones 240, except 384x288 and
    704x288, and 176x144 becomes 176x128)."""

    R128x96 = 0x0001
    R160x120 = 0x0002
    R176x144 = 0x0004
    R320x288 = 0x0008
    R352x288 = 0x0010
    R352x576 = 0x0020
    R384x576 = 0x0040
    R384x288 = 0x0080
    R480x576 = 0x0100
    R480x288 = 0x0200
    R544x576 = 0x0400
    R704x288 = 0x0800
    R704x576 = 0x1000
    R720x576 = 0x2000


class RateMode(enum.IntEnum):
    """Video bit-rate mode; variable needs MPEG-2."""

    CONSTANT = 0
    VARIABLE = 1


class AudioFormat(enum.IntEnum):
    """The one audio format the board encodes."""

    DEFAULT = 16


class AudioBitrate(enum.IntEnum):
    """The one audio bit-rate code the board takes."""

    DEFAULT = 1


class AudioRate(enum.IntFlag):
    """Audio sampling-rate codes (the board takes 48 kHz only)."""

    R16000 = 1
    R22050 = 2
    R24000 = 4
    R32000 = 8
    R44100 = 16
    R48000 = 32
    R96000 = 64


class TvStandard(enum.IntFlag):
    """TV standards; the supported mask is their OR."""

    NTSC_M = 1  #: 525 lines, 29.97 frames per second
    PAL_B = 16  #: 625 lines, 25 frames per second


class Channel(enum.IntFlag):
    """Input and output channels; the supported masks are their OR."""

    COMPOSITE = 1
    SVIDEO = 4


class Output(enum.IntEnum):
    """What the board shows on its video output."""

    ENCODER = 6  #: its input, as encoded; the only code that can be set
    PLAYBACK = 7  #: a device playback


class ProcAmp(enum.IntFlag):
    """Proc-amp properties; the capability mask is their OR."""

    BRIGHTNESS = 1
    CONTRAST = 2
    HUE = 4
    SATURATION = 8
    SHARPNESS = 16


class AudioProperty(enum.IntFlag):
    """Audio properties: volume (-50 to 0) and mute."""

    VOLUME = 1
    MUTE = 64


#: The window message the desktop program registers for graph events; any number works.
DEVICE_EVENT_MESSAGE = 1224
