"""The native libraries: QuvoSDK's 81 exports and the platform's C window API,
each with its C prototype, so ctypes passes every argument at its width."""

import ctypes
import os
from ctypes import POINTER as P

from .records import AudioParameters, ControlRange, Guid, SdkVersion, SupportedVideoBitrates, VideoBitrate

# Where the libraries are: by soname from the system's library path, unless these
# name files (a build tree or a staged install).
SDK_LIBRARY_ENV = "QUVO_SDK_LIBRARY"
PLATFORM_LIBRARY_ENV = "QUVO_PLATFORM_LIBRARY"
SDK_SONAME = "libQuvoSDK.so.1"
PLATFORM_SONAME = "libquvo_platform.so.1"

_U32 = ctypes.c_uint32
_I32 = ctypes.c_int32
_U32P = P(ctypes.c_uint32)
_I32P = P(ctypes.c_int32)
_U64P = P(ctypes.c_uint64)
_DBLP = P(ctypes.c_double)
_CHARP = ctypes.c_char_p
_VOIDP = ctypes.c_void_p
_WCHARP = P(ctypes.c_uint16)  # UTF-16 code units
_GUIDP = P(Guid)

SDK_PROTOTYPES = {
    "QuvoInitialize": (_U32P,),
    "QuvoUninitialize": (),
    "QuvoGetSDKVersion": (P(SdkVersion),),
    "QuvoGetDeviceName": (_WCHARP, _U32, _U32P),
    "QuvoGetDeviceCapabilities": (_U32P,),
    "QuvoGetPlaybackCapabilities": (_U32P,),
    "QuvoSetDebugLevel": (_U32,),
    "QuvoSetDebugTarget": (_U32,),
    "QuvoSetFilters": (_GUIDP, _GUIDP, _GUIDP),
    "QuvoGetSupportedVideoCompressionStandards": (_U32P,),
    "QuvoGetCurrentVideoCompressionStandard": (_U32P,),
    "QuvoSetVideoCompressionStandard": (_U32,),
    "QuvoGetSupportedVideoResolutions": (_U32P,),
    "QuvoGetCurrentVideoResolution": (_U32P,),
    "QuvoSetVideoResolution": (_U32,),
    "QuvoGetSupportedVideoBitrates": (P(SupportedVideoBitrates),),
    "QuvoGetCurrentVideoBitrate": (P(VideoBitrate),),
    "QuvoSetVideoBitrate": (_U32, _U32, _U32),
    "QuvoGetCurrentFrameRate": (_DBLP,),
    "QuvoGetSupportedAudioParameters": (P(AudioParameters),),
    "QuvoGetCurrentAudioFormat": (_U32P,),
    "QuvoSetAudioFormat": (_U32,),
    "QuvoGetCurrentAudioBitrate": (_U32P,),
    "QuvoGetSupportedAudioBitrates": (_U32P,),
    "QuvoSetAudioBitrate": (_U32,),
    "QuvoGetSupportedAudioSamplingRates": (_U32P,),
    "QuvoGetCurrentAudioSamplingRate": (_U32P,),
    "QuvoSetAudioSamplingRate": (_U32,),
    "QuvoGetSupportedTVStandards": (_U32P,),
    "QuvoGetCurrentTVStandard": (_U32P,),
    "QuvoSetTVStandard": (_U32,),
    "QuvoGetNumberOfLinesDetected": (_U32P,),
    "QuvoIsSignalDetected": (_U32P,),
    "QuvoGetProcAmpCapabilities": (_U32P,),
    "QuvoGetProcAmpRange": (_U32, P(ControlRange)),
    "QuvoGetCurrentProcAmpValue": (_U32, _I32P),
    "QuvoSetProcAmpValue": (_U32, _I32),
    "QuvoGetSupportedInputChannels": (_U32P,),
    "QuvoSetInputChannel": (_U32,),
    "QuvoGetCurrentInputChannel": (_U32P,),
    "QuvoGetSupportedOutputChannels": (_U32P,),
    "QuvoSetOutputChannel": (_U32,),
    "QuvoGetCurrentOutputChannel": (_U32,),
    "QuvoGetCurrentOutput": (_U32P,),
    "QuvoSetCurrentOutput": (_U32,),
    "QuvoEnableVCRSource": (),
    "QuvoDisableVCRSource": (),
    "QuvoEnableAnalogVideoDecoder": (),
    "QuvoDisableAnalogVideoDecoder": (),
    "QuvoGetAudioCapabilities": (_U32P,),
    "QuvoGetSupportedAudioPropertyRange": (_U32, P(ControlRange)),
    "QuvoSetAudioPropertyValue": (_U32, _I32),
    "QuvoGetCurrentAudioPropertyValue": (_U32, _I32P),
    "QuvoGetAudioMuteCapabilities": (_U32P,),
    "QuvoSetAudioMute": (_U32, _U32),
    "QuvoGetAudioMute": (_U32, _U32P),
    "QuvoGetPreviewCapabilities": (_U32P,),
    "QuvoSetPreviewMode": (_U32,),
    "QuvoSetPreviewWindow": (_VOIDP, _I32, _I32, _I32, _I32),
    "QuvoSetPreviewToFullScreen": (_U32,),
    "QuvoSetEventNotificationWindow": (_VOIDP, _U32),
    "QuvoStartPreview": (),
    "QuvoStopPreview": (),
    "QuvoSetFileSizeLimit": (_U32,),
    "QuvoSetCaptureLimit": (_U32,),
    "QuvoSetCaptureFileName": (_CHARP, _U32),
    "QuvoStartCapture": (),
    "QuvoStopCapture": (),
    "QuvoStartRecording": (),
    "QuvoStopRecording": (),
    "QuvoGetBytesStreamed": (_U64P,),
    "QuvoSetPlaybackFileName": (_CHARP, _U32),
    "QuvoSetPlaybackMode": (_U32,),
    "QuvoStartPlayback": (),
    "QuvoStopPlayback": (),
    "QuvoGetPlaybackCurrentPos": (_U32,),
    "QuvoGetPlaybackFileDuration": (_U32,),
    "QuvoSetPlaybackCurrentPos": (_U32,),
    "QuvoGetGraphState": (_U32P,),
    "QuvoGetFilterGraphEvent": (_U32P,),
    "QuvoGetCurrentGraphStatus": (_U32P, _U32),
}

# void (*)(window, message, wParam, lParam, context)
MessageProc = ctypes.CFUNCTYPE(None, _VOIDP, ctypes.c_uint32, ctypes.c_size_t, ctypes.c_ssize_t, _VOIDP)
# void (*)(window, bgra, width, height, stride, destLeft, destTop, destWidth, destHeight, context)
FrameProc = ctypes.CFUNCTYPE(None, _VOIDP, P(ctypes.c_uint8), _I32, _I32, _I32, _I32, _I32, _I32, _I32, _VOIDP)

WINDOW_PROTOTYPES = {
    "QuvoWindowCreate": (_VOIDP, (MessageProc, FrameProc, _VOIDP)),
    "QuvoWindowCreateForX11": (_VOIDP, (ctypes.c_uint64, MessageProc, _VOIDP)),
    "QuvoWindowSetClientSize": (_I32, (_VOIDP, _I32, _I32)),
    "QuvoWindowDestroy": (_I32, (_VOIDP,)),
}


class Libraries:
    """The loaded SDK and platform, their functions typed."""

    def __init__(self) -> None:
        self.sdk = ctypes.CDLL(os.environ.get(SDK_LIBRARY_ENV) or SDK_SONAME)
        # Loaded by the SDK already: the same copy, found by its soname.
        self.platform = ctypes.CDLL(os.environ.get(PLATFORM_LIBRARY_ENV) or PLATFORM_SONAME)
        for name, arguments in SDK_PROTOTYPES.items():
            function = getattr(self.sdk, name)
            function.argtypes = list(arguments)
            function.restype = ctypes.c_uint32
        for name, (result, arguments) in WINDOW_PROTOTYPES.items():
            function = getattr(self.platform, name)
            function.argtypes = list(arguments)
            function.restype = result


_libraries = None


def libraries() -> Libraries:
    """Loads the libraries at first use."""
    global _libraries
    if _libraries is None:
        _libraries = Libraries()
    return _libraries
