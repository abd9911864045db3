/* QuvoSDK: one MPEG encoder board per process, driven through 81 flat functions.
 *
 * Every function returns a 32-bit result code (QUVO_...); outputs go through
 * pointers. Call QuvoInitialize first; until it has found the board, every
 * operation that needs the device answers QUVO_ERR_DEVICE_NOT_FOUND. All calls
 * come from one thread at a time (the library takes no lock).
 *
 * Usable from C and C++. */
#ifndef QUVO_SDK_H
#define QUVO_SDK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define QUVO_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
typedef char16_t QUVO_WCHAR;
#else
#include <uchar.h>
#define QUVO_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
typedef char16_t QUVO_WCHAR;
#endif

#if defined(QUVO_SDK_BUILD)
#define QUVO_API __attribute__((visibility("default")))
#else
#define QUVO_API
#endif

/* Result codes: the top two bits are the severity (00 success, 01 information,
 * 10 warning, 11 error). */
typedef uint32_t QUVO_RESULT;
#define QUVO_SUCCESS                     0x00000000u
#define QUVO_INFO_NO_SIGNAL              0x40000001u
#define QUVO_WARN_TV_STANDARD_MISMATCH   0x80000001u
#define QUVO_WARN_INVALID_SERIAL_LENGTH  0x80000003u
#define QUVO_ERR_FAILED                  0xC0000001u
#define QUVO_ERR_INVALID_PARAMETER       0xC0000002u
#define QUVO_ERR_INVALID_POINTER         0xC0000003u
#define QUVO_ERR_BUFFER_TOO_SMALL        0xC0000004u
#define QUVO_ERR_DEVICE_NOT_FOUND        0xC0000007u
#define QUVO_ERR_NOT_SUPPORTED           0xC0000008u
#define QUVO_ERR_NOT_IMPLEMENTED         0xC000000Au

#define QUVO_SEVERITY(code)  ((uint32_t)(code) >> 30)
#define QUVO_FAILED(code)    (QUVO_SEVERITY(code) == 3u)

/* Bits of the status mask that QuvoInitialize writes. Bits 2 and 3 are warnings
 * and may come with success; every other bit comes with failure. */
#define QUVO_INIT_BAD_WINDOWS              0x001u
#define QUVO_INIT_BAD_DIRECTX              0x002u
#define QUVO_INIT_OWN_FILTERS_MISSING      0x004u
#define QUVO_INIT_MPEG_FILTERS_MISSING     0x008u
#define QUVO_INIT_DEVICE_NOT_FOUND         0x010u
#define QUVO_INIT_MULTIPLE_DEVICES         0x040u
#define QUVO_INIT_COM_FAILED               0x080u
#define QUVO_INIT_CAPTURE_FILTERS_FAILED   0x100u

/* Graph states (QuvoGetGraphState, QuvoGetCurrentGraphStatus). */
#define QUVO_GRAPH_STATE_NONE      0u /* no graph yet, or a build in progress */
#define QUVO_GRAPH_STATE_BUILT     1u /* complete and about to run */
#define QUVO_GRAPH_STATE_STOPPED   2u /* torn down, or the stream completed or was aborted by the user */
#define QUVO_GRAPH_STATE_STOPPING  3u
#define QUVO_GRAPH_STATE_RUNNING   4u
#define QUVO_GRAPH_STATE_FAILED    5u /* a failed start, or an error event */

/* What the current graph is for. */
#define QUVO_GRAPH_MODE_NONE               0u
#define QUVO_GRAPH_MODE_PREVIEW            1u
#define QUVO_GRAPH_MODE_CAPTURE            2u
#define QUVO_GRAPH_MODE_PLAYBACK           3u
#define QUVO_GRAPH_MODE_PREVIEW_RECORDING  4u /* a preview with a recording in progress */

/* QuvoSetPreviewMode codes. */
#define QUVO_PREVIEW_NONE        1u /* capture without any preview */
#define QUVO_PREVIEW_VIDEO       2u /* video, no sound */
#define QUVO_PREVIEW_VIDEO_AUDIO 8u
/* What QuvoGetPreviewCapabilities reports: codes 1, 2, 8 and 16 (QuvoSetPreviewMode refuses 16). */
#define QUVO_PREVIEW_CAPABILITIES 27u

/* QuvoSetPlaybackMode flags. */
#define QUVO_PLAYBACK_TO_DEVICE   1u /* into the board, shown on its video output */
#define QUVO_PLAYBACK_AUDIO_VIDEO 2u
#define QUVO_PLAYBACK_AUDIO       4u
#define QUVO_PLAYBACK_VIDEO       8u

/* Window message the desktop program registers for graph events (WM_USER + 200);
 * any number a host chooses works. */
#define QUVO_WM_DEVICE_EVENT 1224u

/* QuvoSetDebugTarget. */
#define QUVO_DEBUG_TARGET_NONE 0u
#define QUVO_DEBUG_TARGET_FILE 1u /* "TvrSDK_<month>-<day>_<hour>-<minute>.log" in the current folder */

/* Compression standards; the supported mask is their OR (3). */
#define QUVO_STANDARD_MPEG1 1u
#define QUVO_STANDARD_MPEG2 2u

/* Frame-size codes (QuvoSetVideoResolution), one bit each, named by the PAL B size.
 * Under NTSC M the height is 96, 120, 128, 240, 240, 480, 480, 288, 480, 240, 480,
 * 288, 480, 480 in this order. */
#define QUVO_RESOLUTION_128x96   0x0001u
#define QUVO_RESOLUTION_160x120  0x0002u
#define QUVO_RESOLUTION_176x144  0x0004u
#define QUVO_RESOLUTION_320x288  0x0008u
#define QUVO_RESOLUTION_352x288  0x0010u
#define QUVO_RESOLUTION_352x576  0x0020u
#define QUVO_RESOLUTION_384x576  0x0040u
#define QUVO_RESOLUTION_384x288  0x0080u
#define QUVO_RESOLUTION_480x576  0x0100u
#define QUVO_RESOLUTION_480x288  0x0200u
#define QUVO_RESOLUTION_544x576  0x0400u
#define QUVO_RESOLUTION_704x288  0x0800u
#define QUVO_RESOLUTION_704x576  0x1000u
#define QUVO_RESOLUTION_720x576  0x2000u

/* VideoBitrate.rateMode; variable bit rate needs MPEG-2. */
#define QUVO_RATE_CONSTANT 0u
#define QUVO_RATE_VARIABLE 1u

/* Audio: the one format and bit-rate code the board encodes, and the sampling-rate
 * codes (the board takes 48 kHz only; the supported mask is 32). */
#define QUVO_AUDIO_FORMAT_DEFAULT  16u
#define QUVO_AUDIO_BITRATE_DEFAULT 1u
#define QUVO_AUDIO_RATE_16000  1u
#define QUVO_AUDIO_RATE_22050  2u
#define QUVO_AUDIO_RATE_24000  4u
#define QUVO_AUDIO_RATE_32000  8u
#define QUVO_AUDIO_RATE_44100 16u
#define QUVO_AUDIO_RATE_48000 32u
#define QUVO_AUDIO_RATE_96000 64u

/* TV standards; the supported mask is their OR (17). */
#define QUVO_TV_NTSC_M  1u /* 525 lines, 29.97 frames per second */
#define QUVO_TV_PAL_B  16u /* 625 lines, 25 frames per second */

/* Input and output channels; the supported masks are their OR (5). */
#define QUVO_CHANNEL_COMPOSITE 1u
#define QUVO_CHANNEL_SVIDEO    4u

/* The board's output signal (QuvoGetCurrentOutput): what it shows on its video output. */
#define QUVO_OUTPUT_ENCODER  6u /* its input, as encoded; the only code QuvoSetCurrentOutput takes */
#define QUVO_OUTPUT_PLAYBACK 7u /* a device playback */

/* Proc-amp properties; the capability mask is their OR (31). */
#define QUVO_PROCAMP_BRIGHTNESS  1u
#define QUVO_PROCAMP_CONTRAST    2u
#define QUVO_PROCAMP_HUE         4u
#define QUVO_PROCAMP_SATURATION  8u
#define QUVO_PROCAMP_SHARPNESS  16u

/* Audio properties: volume (QuvoSetAudioPropertyValue, -50 to 0) and mute (QuvoSetAudioMute). */
#define QUVO_AUDIO_VOLUME  1u
#define QUVO_AUDIO_MUTE   64u

/* A window handle: one made by QuvoWindowCreate (quvo/QuvoWindow.h). */
typedef void* QUVO_HWND;

/* A class identifier in the platform's 16-byte layout. */
typedef struct QUVO_GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} QUVO_GUID;

typedef struct SdkVersion {
    uint32_t major;
    uint32_t minor;
    uint32_t build;
} SdkVersion;

/* QuvoSetVideoBitrate takes these three fields as three 32-bit arguments, in this
 * order; QuvoGetCurrentVideoBitrate fills the record. */
typedef struct VideoBitrate {
    uint32_t rateMode;    /* 0 constant, 1 variable */
    uint32_t bitrate;     /* bits per second */
    uint32_t peakBitrate; /* bits per second */
} VideoBitrate;

typedef struct SupportedVideoBitrates {
    uint32_t vbrAllowed;
    uint32_t bitrateRef;
    uint32_t bitrateMax;
    uint32_t bitrateMin;
    uint32_t peakRef;
    uint32_t peakMax;
    uint32_t peakMin;
    uint32_t bitrateStep;
    uint32_t peakStep;
} SupportedVideoBitrates;

typedef struct ControlRange {
    int32_t maximum;
    int32_t minimum;
    int32_t step;
    int32_t defaultValue;
    int32_t capsFlags;
} ControlRange;

typedef struct AudioParameters {
    uint32_t formats;
    uint32_t second;
    uint32_t third;
} AudioParameters;

QUVO_STATIC_ASSERT(sizeof(QUVO_GUID) == 16, "QUVO_GUID is 16 bytes");
QUVO_STATIC_ASSERT(sizeof(SdkVersion) == 12, "SdkVersion is three 32-bit fields");
QUVO_STATIC_ASSERT(sizeof(VideoBitrate) == 12, "VideoBitrate is three 32-bit fields");
QUVO_STATIC_ASSERT(sizeof(SupportedVideoBitrates) == 36, "SupportedVideoBitrates is nine 32-bit fields");
QUVO_STATIC_ASSERT(sizeof(ControlRange) == 20, "ControlRange is five 32-bit fields");
QUVO_STATIC_ASSERT(sizeof(AudioParameters) == 12, "AudioParameters is three 32-bit fields");
QUVO_STATIC_ASSERT(sizeof(QUVO_WCHAR) == 2, "device names are UTF-16");

/* Start-up and device */
QUVO_API QUVO_RESULT QuvoInitialize(uint32_t* status);
QUVO_API QUVO_RESULT QuvoUninitialize(void);
QUVO_API QUVO_RESULT QuvoGetSDKVersion(SdkVersion* version);
QUVO_API QUVO_RESULT QuvoGetDeviceName(QUVO_WCHAR* buffer, uint32_t bufferSize, uint32_t* length);
QUVO_API QUVO_RESULT QuvoGetDeviceCapabilities(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetPlaybackCapabilities(uint32_t* mask); /* alias of QuvoGetDeviceCapabilities */
QUVO_API QUVO_RESULT QuvoSetDebugLevel(uint32_t level);
QUVO_API QUVO_RESULT QuvoSetDebugTarget(uint32_t target);
QUVO_API QUVO_RESULT QuvoSetFilters(const QUVO_GUID* splitter, const QUVO_GUID* audioDecoder,
                                    const QUVO_GUID* videoDecoder);

/* Video encoder */
QUVO_API QUVO_RESULT QuvoGetSupportedVideoCompressionStandards(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetCurrentVideoCompressionStandard(uint32_t* standard);
QUVO_API QUVO_RESULT QuvoSetVideoCompressionStandard(uint32_t standard);
QUVO_API QUVO_RESULT QuvoGetSupportedVideoResolutions(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetCurrentVideoResolution(uint32_t* resolution);
QUVO_API QUVO_RESULT QuvoSetVideoResolution(uint32_t resolution);
QUVO_API QUVO_RESULT QuvoGetSupportedVideoBitrates(SupportedVideoBitrates* bitrates);
QUVO_API QUVO_RESULT QuvoGetCurrentVideoBitrate(VideoBitrate* bitrate);
QUVO_API QUVO_RESULT QuvoSetVideoBitrate(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate);
QUVO_API QUVO_RESULT QuvoGetCurrentFrameRate(double* framesPerSecond);

/* Audio encoder */
QUVO_API QUVO_RESULT QuvoGetSupportedAudioParameters(AudioParameters* parameters);
QUVO_API QUVO_RESULT QuvoGetCurrentAudioFormat(uint32_t* format);
QUVO_API QUVO_RESULT QuvoSetAudioFormat(uint32_t format);
QUVO_API QUVO_RESULT QuvoGetCurrentAudioBitrate(uint32_t* bitrate);
QUVO_API QUVO_RESULT QuvoGetSupportedAudioBitrates(uint32_t* bitrates); /* alias of QuvoGetCurrentAudioBitrate */
QUVO_API QUVO_RESULT QuvoSetAudioBitrate(uint32_t bitrate);
QUVO_API QUVO_RESULT QuvoGetSupportedAudioSamplingRates(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetCurrentAudioSamplingRate(uint32_t* rate);
QUVO_API QUVO_RESULT QuvoSetAudioSamplingRate(uint32_t rate);

/* Video signal */
QUVO_API QUVO_RESULT QuvoGetSupportedTVStandards(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetCurrentTVStandard(uint32_t* standard);
QUVO_API QUVO_RESULT QuvoSetTVStandard(uint32_t standard);
QUVO_API QUVO_RESULT QuvoGetNumberOfLinesDetected(uint32_t* lines);
QUVO_API QUVO_RESULT QuvoIsSignalDetected(uint32_t* detected);
QUVO_API QUVO_RESULT QuvoGetProcAmpCapabilities(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetProcAmpRange(uint32_t property, ControlRange* range);
QUVO_API QUVO_RESULT QuvoGetCurrentProcAmpValue(uint32_t property, int32_t* value);
QUVO_API QUVO_RESULT QuvoSetProcAmpValue(uint32_t property, int32_t value);

/* Inputs and outputs */
QUVO_API QUVO_RESULT QuvoGetSupportedInputChannels(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoSetInputChannel(uint32_t channel);
QUVO_API QUVO_RESULT QuvoGetCurrentInputChannel(uint32_t* channel);
QUVO_API QUVO_RESULT QuvoGetSupportedOutputChannels(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoSetOutputChannel(uint32_t channel);
/* Alias of QuvoSetOutputChannel: always QUVO_ERR_NOT_SUPPORTED, writes nothing. */
QUVO_API QUVO_RESULT QuvoGetCurrentOutputChannel(uint32_t channel);
QUVO_API QUVO_RESULT QuvoGetCurrentOutput(uint32_t* output);
QUVO_API QUVO_RESULT QuvoSetCurrentOutput(uint32_t output);
/* Four names of one operation: always QUVO_ERR_NOT_SUPPORTED. */
QUVO_API QUVO_RESULT QuvoEnableVCRSource(void);
QUVO_API QUVO_RESULT QuvoDisableVCRSource(void);
QUVO_API QUVO_RESULT QuvoEnableAnalogVideoDecoder(void);
QUVO_API QUVO_RESULT QuvoDisableAnalogVideoDecoder(void);

/* Audio controls */
QUVO_API QUVO_RESULT QuvoGetAudioCapabilities(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoGetSupportedAudioPropertyRange(uint32_t property, ControlRange* range);
QUVO_API QUVO_RESULT QuvoSetAudioPropertyValue(uint32_t property, int32_t value);
QUVO_API QUVO_RESULT QuvoGetCurrentAudioPropertyValue(uint32_t property, int32_t* value);
QUVO_API QUVO_RESULT QuvoGetAudioMuteCapabilities(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoSetAudioMute(uint32_t property, uint32_t value);
QUVO_API QUVO_RESULT QuvoGetAudioMute(uint32_t property, uint32_t* value);

/* Preview, capture, playback and graph status */
QUVO_API QUVO_RESULT QuvoGetPreviewCapabilities(uint32_t* mask);
QUVO_API QUVO_RESULT QuvoSetPreviewMode(uint32_t mode);
QUVO_API QUVO_RESULT QuvoSetPreviewWindow(QUVO_HWND window, int32_t left, int32_t top, int32_t width,
                                          int32_t height);
QUVO_API QUVO_RESULT QuvoSetPreviewToFullScreen(uint32_t fullScreen);
QUVO_API QUVO_RESULT QuvoSetEventNotificationWindow(QUVO_HWND window, uint32_t message);
QUVO_API QUVO_RESULT QuvoStartPreview(void);
QUVO_API QUVO_RESULT QuvoStopPreview(void);
QUVO_API QUVO_RESULT QuvoSetFileSizeLimit(uint32_t units256KiB);
QUVO_API QUVO_RESULT QuvoSetCaptureLimit(uint32_t kib);
QUVO_API QUVO_RESULT QuvoSetCaptureFileName(const char* fileName, uint32_t length);
QUVO_API QUVO_RESULT QuvoStartCapture(void);
QUVO_API QUVO_RESULT QuvoStopCapture(void);
QUVO_API QUVO_RESULT QuvoStartRecording(void);
QUVO_API QUVO_RESULT QuvoStopRecording(void);
QUVO_API QUVO_RESULT QuvoGetBytesStreamed(uint64_t* bytes);
QUVO_API QUVO_RESULT QuvoSetPlaybackFileName(const char* fileName, uint32_t length);
QUVO_API QUVO_RESULT QuvoSetPlaybackMode(uint32_t flags);
QUVO_API QUVO_RESULT QuvoStartPlayback(void);
QUVO_API QUVO_RESULT QuvoStopPlayback(void);
/* Three names of one operation: always QUVO_ERR_NOT_IMPLEMENTED. */
QUVO_API QUVO_RESULT QuvoGetPlaybackCurrentPos(uint32_t position);
QUVO_API QUVO_RESULT QuvoGetPlaybackFileDuration(uint32_t duration);
QUVO_API QUVO_RESULT QuvoSetPlaybackCurrentPos(uint32_t position);
QUVO_API QUVO_RESULT QuvoGetGraphState(uint32_t* state);
/* Writes the graph's event wait handle (a descriptor, readable while events are queued). */
QUVO_API QUVO_RESULT QuvoGetFilterGraphEvent(uint32_t* eventHandle);
/* Takes the next graph event (waiting up to timeoutMs) and writes the state it leaves.
 * QUVO_GRAPH_STATE_FAILED after an error event (a failed write, a full disk: what
 * was written stays, each file as long as its description line) means the device's
 * settings (file name, limits, notification window) are back at their start values
 * and no graph can be built: stop the old one (QuvoStopCapture or QuvoStopPreview)
 * and call QuvoInitialize again before the next preview or capture. */
QUVO_API QUVO_RESULT QuvoGetCurrentGraphStatus(uint32_t* state, uint32_t timeoutMs);

#undef QUVO_STATIC_ASSERT

#ifdef __cplusplus
}
#endif

#endif /* QUVO_SDK_H */
