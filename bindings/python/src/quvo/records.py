"""The records that cross the SDK's interface: 32-bit fields, in order, without gaps."""

import ctypes

__all__ = [
    "Guid",
    "SdkVersion",
    "VideoBitrate",
    "SupportedVideoBitrates",
    "ControlRange",
    "AudioParameters",
]


class Guid(ctypes.Structure):
    """A class identifier in the platform's 16-byte layout."""

    _fields_ = [
        ("Data1", ctypes.c_uint32),
        ("Data2", ctypes.c_uint16),
        ("Data3", ctypes.c_uint16),
        ("Data4", ctypes.c_uint8 * 8),
    ]

    @classmethod
    def parse(cls, text: str) -> "Guid":
        """From "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (the braces are optional)."""
        digits = text.strip().strip("{}").replace("-", "")
        if len(digits) != 32:
            raise ValueError(f"not a class identifier: {text!r}")
        raw = bytes.fromhex(digits)
        tail = (ctypes.c_uint8 * 8)(*raw[8:])
        return cls(int.from_bytes(raw[0:4], "big"), int.from_bytes(raw[4:6], "big"),
                   int.from_bytes(raw[6:8], "big"), tail)

    def __str__(self) -> str:
        tail = bytes(self.Data4).hex().upper()
        return f"{{{self.Data1:08X}-{self.Data2:04X}-{self.Data3:04X}-{tail[:4]}-{tail[4:]}}}"


class SdkVersion(ctypes.Structure):
    """The SDK's version: major, minor, build."""

    _fields_ = [("major", ctypes.c_uint32), ("minor", ctypes.c_uint32), ("build", ctypes.c_uint32)]


class VideoBitrate(ctypes.Structure):
    """Rate mode (0 constant, 1 variable), bit rate and peak bit rate in bits per second."""

    _fields_ = [("rateMode", ctypes.c_uint32), ("bitrate", ctypes.c_uint32), ("peakBitrate", ctypes.c_uint32)]


class SupportedVideoBitrates(ctypes.Structure):
    """Bit-rate limits and steps of the current compression standard.

    vbrAllowed is 1 under MPEG-2; peakMin is the current bit rate, since the peak
    may not be below it."""

    _fields_ = [
        ("vbrAllowed", ctypes.c_uint32),
        ("bitrateRef", ctypes.c_uint32),
        ("bitrateMax", ctypes.c_uint32),
        ("bitrateMin", ctypes.c_uint32),
        ("peakRef", ctypes.c_uint32),
        ("peakMax", ctypes.c_uint32),
        ("peakMin", ctypes.c_uint32),
        ("bitrateStep", ctypes.c_uint32),
        ("peakStep", ctypes.c_uint32),
    ]


class ControlRange(ctypes.Structure):
    """Maximum, minimum, step, default and capability flags of a control (signed)."""

    _fields_ = [
        ("maximum", ctypes.c_int32),
        ("minimum", ctypes.c_int32),
        ("step", ctypes.c_int32),
        ("defaultValue", ctypes.c_int32),
        ("capsFlags", ctypes.c_int32),
    ]


class AudioParameters(ctypes.Structure):
    """The audio format mask (16) and two further fields (both 2)."""

    _fields_ = [("formats", ctypes.c_uint32), ("second", ctypes.c_uint32), ("third", ctypes.c_uint32)]

