"""Result codes of the SDK and the exception raised for the error severity."""

from __future__ import annotations

import enum

__all__ = ["Result", "Severity", "QuvoError", "QuvoInitError", "InitStatus", "check"]


class Severity(enum.IntEnum):
    """The top two bits of a result code."""

    SUCCESS = 0
    INFORMATION = 1
    WARNING = 2
    ERROR = 3


class Result(enum.IntEnum):
    """What an SDK function answered. Information and warning codes come with valid
    output values; only the error severity means the operation was not carried out."""

    SUCCESS = 0x00000000
    #: No input signal is locked, so the value asked for is not available (frame rate).
    INFO_NO_SIGNAL = 0x40000001
    #: Succeeded, but the lines detected in the input (525 or 625) contradict the TV standard.
    WARN_TV_STANDARD_MISMATCH = 0x80000001
    #: The device reported a serial number length of 0 or more than 14 bytes.
    WARN_INVALID_SERIAL_LENGTH = 0x80000003
    #: A platform or driver call failed, a graph cannot be built or run, or an object
    #: the operation needs was not created.
    ERR_FAILED = 0xC0000001
    #: A value is outside the allowed set or range, or a handle is not a window.
    ERR_INVALID_PARAMETER = 0xC0000002
    #: A required buffer or string pointer is null.
    ERR_INVALID_POINTER = 0xC0000003
    #: The caller's buffer is too short for the value.
    ERR_BUFFER_TOO_SMALL = 0xC0000004
    #: No board has been opened: before a successful initialization or after it was undone.
    ERR_DEVICE_NOT_FOUND = 0xC0000007
    #: The board offers no such operation.
    ERR_NOT_SUPPORTED = 0xC0000008
    #: The operation is not implemented.
    ERR_NOT_IMPLEMENTED = 0xC000000A

    @property
    def severity(self) -> Severity:
        return Severity(self.value >> 30)

    @property
    def c_name(self) -> str:
        """The name the C header gives the code."""
        return "QUVO_" + self.name


class InitStatus(enum.IntFlag):
    """Why initialization failed, or what it warns of. OWN_FILTERS_MISSING and
    MPEG_FILTERS_MISSING may come with success; every other bit comes with failure."""

    BAD_WINDOWS = 0x001
    BAD_DIRECTX = 0x002
    OWN_FILTERS_MISSING = 0x004
    MPEG_FILTERS_MISSING = 0x008
    DEVICE_NOT_FOUND = 0x010
    MULTIPLE_DEVICES = 0x040
    COM_FAILED = 0x080
    CAPTURE_FILTERS_FAILED = 0x100


INIT_WARNINGS = InitStatus.OWN_FILTERS_MISSING | InitStatus.MPEG_FILTERS_MISSING


def _describe(code: int) -> str:
    try:
        return f"{Result(code).c_name} (0x{code:08X})"
    except ValueError:
        return f"unknown code 0x{code:08X}"


class QuvoError(Exception):
    """An SDK function answered with the error severity.

    ``result`` is the :class:`Result` (or the plain number of a code this binding
    does not know), ``function`` the export that answered it."""

    def __init__(self, function: str, result: int) -> None:
        try:
            self.result: Result | int = Result(result)
        except ValueError:
            self.result = result
        self.function = function
        super().__init__(f"{function} failed: {_describe(result)}")


class QuvoInitError(QuvoError):
    """Initialization failed; ``status`` says why."""

    def __init__(self, function: str, result: int, status: InitStatus) -> None:
        super().__init__(function, result)
        self.status = status
        self.args = (f"{self.args[0]}; status {status!r}",)


def check(function: str, code: int) -> Result:
    """Raises :class:`QuvoError` for a code of the error severity, else returns the
    code as a :class:`Result` (an unknown non-error code stays a plain int)."""
    if code >> 30 == Severity.ERROR:
        raise QuvoError(function, code)
    try:
        return Result(code)
    except ValueError:
        return code  # type: ignore[return-value]
