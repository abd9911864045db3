// The one encoder device of the process: the found board, the graph components
// around it, the cached board properties and the settings of the next graph. Every
// export forwards to the operation of the same name.
//
// The operations are virtual in a fixed slot order (the library's operation table;
// sdk/tests/EncoderDeviceTest.cpp checks it), and the destructor follows them. The fields are
// public because the device, property, settings and graph parts of the library all
// read and write them; callers serialize every call (no lock).
#pragma once

#include <cstdint>

#include "interfaces/WriterControl.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/MpegInterfaces.h"
#include <quvo/QuvoSDK.h>

namespace quvo::sdk {

class EncoderDevice {
public:
    EncoderDevice();
    EncoderDevice(const EncoderDevice&) = delete;
    EncoderDevice& operator=(const EncoderDevice&) = delete;

    // Start-up and device
    virtual QUVO_RESULT Initialize(uint32_t* status);
    virtual QUVO_RESULT GetDeviceName(QUVO_WCHAR* buffer, uint32_t bufferSize, uint32_t* length);
    virtual QUVO_RESULT GetSDKVersion(SdkVersion* version);
    virtual QUVO_RESULT GetDeviceSerialNumber(uint8_t* bytes, uint32_t bufferSize, uint32_t* length);
    virtual QUVO_RESULT GetDeviceCapabilities(uint32_t* mask);
    virtual QUVO_RESULT GetCurrentOutput(uint32_t* output);
    virtual QUVO_RESULT SetCurrentOutput(uint32_t output);
    // Encoder settings
    virtual QUVO_RESULT GetCurrentFrameRate(double* framesPerSecond);
    virtual QUVO_RESULT GetSupportedVideoCompressionStandards(uint32_t* mask);
    virtual QUVO_RESULT GetCurrentVideoCompressionStandard(uint32_t* standard);
    virtual QUVO_RESULT GetSupportedVideoResolutions(uint32_t* mask);
    virtual QUVO_RESULT GetCurrentVideoResolution(uint32_t* resolution);
    virtual QUVO_RESULT GetSupportedVideoBitrates(SupportedVideoBitrates* bitrates);
    virtual QUVO_RESULT GetCurrentVideoBitrate(VideoBitrate* bitrate);
    virtual QUVO_RESULT Reserved1(uint32_t argument);
    virtual QUVO_RESULT Reserved2(uint32_t first, uint32_t second);
    virtual QUVO_RESULT Reserved3(uint32_t argument);
    virtual QUVO_RESULT GetSupportedAudioParameters(AudioParameters* parameters);
    virtual QUVO_RESULT GetCurrentAudioFormat(uint32_t* format);
    virtual QUVO_RESULT GetCurrentAudioBitrate(uint32_t* bitrate);
    virtual QUVO_RESULT GetSupportedAudioBitrates(uint32_t* bitrates);
    virtual QUVO_RESULT GetSupportedAudioSamplingRates(uint32_t* mask);
    virtual QUVO_RESULT GetCurrentAudioSamplingRate(uint32_t* rate);
    virtual QUVO_RESULT SetVideoCompressionStandard(uint32_t standard);
    virtual QUVO_RESULT SetVideoResolution(uint32_t resolution);
    virtual QUVO_RESULT SetVideoBitrate(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate);
    virtual QUVO_RESULT SetAudioFormat(uint32_t format);
    virtual QUVO_RESULT SetAudioBitrate(uint32_t bitrate);
    virtual QUVO_RESULT SetAudioSamplingRate(uint32_t rate);
    // Signal, input and audio controls
    virtual QUVO_RESULT GetSupportedTVStandards(uint32_t* mask);
    virtual QUVO_RESULT GetCurrentTVStandard(uint32_t* standard);
    virtual QUVO_RESULT SetTVStandard(uint32_t standard);
    virtual QUVO_RESULT GetProcAmpCapabilities(uint32_t* mask);
    virtual QUVO_RESULT GetProcAmpRange(uint32_t property, ControlRange* range);
    virtual QUVO_RESULT GetCurrentProcAmpValue(uint32_t property, int32_t* value);
    virtual QUVO_RESULT SetProcAmpValue(uint32_t property, int32_t value);
    virtual QUVO_RESULT GetNumberOfLinesDetected(uint32_t* lines);
    virtual QUVO_RESULT IsSignalDetected(uint32_t* detected);
    virtual QUVO_RESULT EnableVCRSource();
    virtual QUVO_RESULT DisableVCRSource();
    virtual QUVO_RESULT EnableAnalogVideoDecoder();
    virtual QUVO_RESULT DisableAnalogVideoDecoder();
    virtual QUVO_RESULT GetSupportedInputChannels(uint32_t* mask);
    virtual QUVO_RESULT SetInputChannel(uint32_t channel);
    virtual QUVO_RESULT GetCurrentInputChannel(uint32_t* channel);
    virtual QUVO_RESULT GetSupportedOutputChannels(uint32_t* mask);
    virtual QUVO_RESULT SetOutputChannel(uint32_t channel);
    virtual QUVO_RESULT GetCurrentOutputChannel(uint32_t channel);
    virtual QUVO_RESULT GetAudioCapabilities(uint32_t* mask);
    virtual QUVO_RESULT GetSupportedAudioPropertyRange(uint32_t property, ControlRange* range);
    virtual QUVO_RESULT SetAudioPropertyValue(uint32_t property, int32_t value);
    virtual QUVO_RESULT GetCurrentAudioPropertyValue(uint32_t property, int32_t* value);
    virtual QUVO_RESULT GetAudioMuteCapabilities(uint32_t* mask);
    virtual QUVO_RESULT SetAudioMute(uint32_t property, uint32_t value);
    virtual QUVO_RESULT GetAudioMute(uint32_t property, uint32_t* value);
    virtual QUVO_RESULT GetPreviewCapabilities(uint32_t* mask);
    virtual QUVO_RESULT SetPreviewMode(uint32_t mode);
    // Graphs
    virtual QUVO_RESULT SetPreviewWindow(QUVO_HWND window, int32_t left, int32_t top, int32_t width,
                                         int32_t height);
    virtual QUVO_RESULT SetEventNotificationWindow(QUVO_HWND window, uint32_t message);
    virtual QUVO_RESULT SetPreviewToFullScreen(uint32_t fullScreen);
    virtual QUVO_RESULT StartPreview();
    virtual QUVO_RESULT StopPreview();
    virtual QUVO_RESULT SetFileSizeLimit(uint32_t units256KiB);
    virtual QUVO_RESULT SetCaptureLimit(uint32_t kib);
    virtual QUVO_RESULT SetCaptureFileName(const char* fileName, uint32_t length);
    virtual QUVO_RESULT StartCapture();
    virtual QUVO_RESULT StopCapture();
    virtual QUVO_RESULT GetPlaybackCapabilities(uint32_t* mask);
    virtual QUVO_RESULT SetPlaybackFileName(const char* fileName, uint32_t length);
    virtual QUVO_RESULT SetPlaybackMode(uint32_t flags);
    virtual QUVO_RESULT GetPlaybackCurrentPos(uint32_t position);
    virtual QUVO_RESULT SetPlaybackCurrentPos(uint32_t position);
    virtual QUVO_RESULT GetPlaybackFileDuration(uint32_t duration);
    virtual QUVO_RESULT StartPlayback();
    virtual QUVO_RESULT StopPlayback();
    virtual QUVO_RESULT Uninitialize();
    virtual QUVO_RESULT GetGraphState(uint32_t* state);
    virtual QUVO_RESULT GetFilterGraphEvent(uint32_t* eventHandle);
    virtual QUVO_RESULT GetCurrentGraphStatus(uint32_t* state, uint32_t timeoutMs);
    virtual QUVO_RESULT StartRecording();
    virtual QUVO_RESULT StopRecording();
    virtual QUVO_RESULT GetBytesStreamed(uint64_t* bytes);
    // Diagnostics and filter choice
    virtual QUVO_RESULT SetDebugLevel(uint32_t level);
    virtual QUVO_RESULT SetDebugTarget(uint32_t target);
    virtual QUVO_RESULT SetFilters(const QUVO_GUID* splitter, const QUVO_GUID* audioDecoder,
                                   const QUVO_GUID* videoDecoder);

    // Runs Uninitialize unless QuvoUninitialize already has.
    virtual ~EncoderDevice();

    // Sets the construction values of everything from the capture graph builder to
    // notifyMessage again; run at construction and after an aborting graph error. The
    // device name, deviceFound, the property copies, the signal values and the three
    // decoder class identifiers are left alone, and so are mediaControl and mediaEvent
    // (a stop still needs them).
    void ResetConstructionValues();

    // Removes from the graph every filter connected downstream of `filter`, depth
    // first, disconnecting each connection on the way.
    void RemoveDownstream(IBaseFilter* filter);

    // The property channel (PropertyChannel.cpp): refreshes the copies named in a
    // request mask from the device, or sends them to it. True when every requested
    // transfer succeeded; each failure is logged.
    bool GetDeviceProperties(uint32_t mask);
    bool SetDeviceProperties(uint32_t mask);

    // Start-up steps (FilterChecks.cpp, DeviceDiscovery.cpp). Each logs its own
    // failures.
    bool CheckOwnFilters();      // false when one of the library's filters is missing
    bool CheckMpegFilters();     // false when a splitter or decoder role stays open
    uint32_t DiscoverDevices();  // number of boards found; deviceFound is 1 for exactly one
    bool OpenCaptureFilters();

    // --- Device
    char deviceNameA[260] = {};         // friendly name, ANSI code page, zero-terminated
    QUVO_WCHAR deviceNameW[260] = {};   // the same name in UTF-16
    uint32_t deviceFound = 0;           // 1 when exactly one board was found

    // --- Platform objects (one owned reference each)
    ComPtr<ICaptureGraphBuilder2> captureGraphBuilder;
    ComPtr<IBaseFilter> captureFilter;
    ComPtr<IMoniker> deviceMoniker;
    ComPtr<IGraphBuilder> graphBuilder;
    ComPtr<IAMAnalogVideoDecoder> videoDecoderControl;
    ComPtr<IAMVideoProcAmp> procAmp;
    ComPtr<IMediaControl> mediaControl;
    ComPtr<IMediaEventEx> mediaEvent;

    // --- Filter and pin slots of the graphs; the start-up checks hold test instances
    // in the reader, transform, muxer, splitter, decoder and writer slots for a while.
    ComPtr<IBaseFilter> fileReaderFilter;
    ComPtr<IBaseFilter> transformTestFilter;
    ComPtr<IBaseFilter> muxerFilter;
    ComPtr<IBaseFilter> splitterFilter;
    ComPtr<IBaseFilter> audioDecoderFilter;
    ComPtr<IBaseFilter> playbackAudioDecoderFilter;
    ComPtr<IBaseFilter> videoDecoderFilter;
    ComPtr<IBaseFilter> audioRendererFilter;
    ComPtr<IBaseFilter> videoRendererFilter;
    ComPtr<IVideoWindow> videoWindow;
    ComPtr<IBaseFilter> teeFilter;
    ComPtr<IBaseFilter> audioTeeFilter;
    ComPtr<IBaseFilter> demuxFilter;
    ComPtr<IBaseFilter> fileWriterFilter;
    ComPtr<IBaseFilter> transformFilter;
    ComPtr<WriterControl> writerControl;  // header only: the writer module is never linked
    ComPtr<IMpeg2Demultiplexer> demuxControl;
    ComPtr<IPin> videoOutPin;
    ComPtr<IPin> audioOutPin;

    // --- Property copies in the driver's byte layout (24-byte header, then payload)
    uint8_t encoderSettings[48] = {};
    uint8_t audioFormat[32] = {};
    uint8_t deviceInfo[128] = {};
    uint8_t extraDeviceData[64] = {};
    uint8_t audioLevel[32] = {};
    uint8_t procAmpValue[40] = {};
    uint8_t audioMute[32] = {};

    // --- Signal
    uint32_t linesDetected = 0;         // 0 (not locked), 525 or 625
    uint32_t tvStandard = 0;            // 1 NTSC M, 16 PAL B
    uint32_t inputIndex = 0;            // 0 composite, 1 S-video
    ControlRange procAmpRanges[5] = {}; // brightness, contrast, hue, saturation, sharpness
    uint32_t procAmpIndex = 0;          // property of the next proc-amp read or write

    // --- Preview
    uint32_t previewAudio = 1;
    uint32_t previewVideo = 1;
    int32_t fullScreenMode = 0;         // -1 full screen, 0 windowed
    uint32_t fullScreenChangePending = 0;
    QUVO_HWND previewWindow = nullptr;
    int32_t previewLeft = 0;
    int32_t previewTop = 0;
    int32_t previewWidth = 0;
    int32_t previewHeight = 0;

    // --- Capture
    QUVO_WCHAR captureFileName[260] = {};  // also the playback file name
    uint32_t fileSizeLimit = 0x200000;     // KiB
    uint64_t captureLimit = 0x80000000u;   // bytes

    // --- Playback
    uint32_t playbackToDevice = 1;
    uint32_t playbackAudio = 1;
    uint32_t playbackVideo = 1;

    uint32_t currentOutput = QUVO_OUTPUT_ENCODER;
    uint32_t graphMode = 0;     // 0 none, 1 preview, 2 capture, 3 playback, 4 preview recording
    uint32_t graphState = 0;    // 0 none, 1 built, 2 stopped, 3 stopping, 4 running, 5 failed
    uint32_t uninitialized = 0; // 1 after QuvoUninitialize

    GUID splitterClsid = GUID_NULL;
    GUID audioDecoderClsid = GUID_NULL;
    GUID videoDecoderClsid = GUID_NULL;
    uint32_t userFiltersSet = 0;

    QUVO_HWND notifyWindow = nullptr;
    uint32_t notifyMessage = 0;

private:
    // The crossbar on the capture path; only a plain success hands one out.
    HRESULT FindCrossbar(ComPtr<IAMCrossbar>& crossbar);
};

// The process-wide device; exists from library load to unload (LibraryEntry.cpp).
EncoderDevice& TheDevice();

}  // namespace quvo::sdk
