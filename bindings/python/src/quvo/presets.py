"""The three recording presets of the desktop program: Video CD, Super Video CD
and DVD (frame sizes named by PAL; the same codes give the NTSC sizes)."""

from __future__ import annotations

from dataclasses import dataclass

from .constants import CompressionStandard, RateMode, Resolution

__all__ = ["Preset", "VCD", "SVCD", "DVD", "PRESETS"]


@dataclass(frozen=True)
class Preset:
    """Compression standard, frame size and video bit rates of one preset."""

    name: str
    standard: CompressionStandard
    resolution: Resolution
    rate_mode: RateMode
    bitrate: int  #: bits per second
    peak_bitrate: int  #: bits per second


VCD = Preset("Video CD", CompressionStandard.MPEG1, Resolution.R352x288, RateMode.CONSTANT, 1150000, 1150000)
SVCD = Preset("Super Video CD", CompressionStandard.MPEG2, Resolution.R480x576, RateMode.VARIABLE, 2375000, 2375000)
DVD = Preset("DVD", CompressionStandard.MPEG2, Resolution.R720x576, RateMode.VARIABLE, 6000000, 6000000)

#: The presets by their short names.
PRESETS = {"vcd": VCD, "svcd": SVCD, "dvd": DVD}
