// The exported functions: each hands its arguments to the device operation of the
// same name and returns that operation's result. Nothing leaves a C caller's call
// as an exception: a failed allocation inside (the log's texts, the device's
// names) is QUVO_ERR_FAILED.
#include <new>

#include "sdk/EncoderDevice.h"

using quvo::sdk::TheDevice;

namespace {
template <class Operation>
QUVO_RESULT Guarded(Operation operation) noexcept
{
    try {
        return operation();
    } catch (...) {
        return QUVO_ERR_FAILED;
    }
}
}  // namespace

extern "C" {

QUVO_API QUVO_RESULT QuvoInitialize(uint32_t* status)
{
    return Guarded([&] { return TheDevice().Initialize(status); });
}

QUVO_API QUVO_RESULT QuvoUninitialize(void)
{
    return Guarded([&] { return TheDevice().Uninitialize(); });
}

QUVO_API QUVO_RESULT QuvoGetSDKVersion(SdkVersion* version)
{
    return Guarded([&] { return TheDevice().GetSDKVersion(version); });
}

QUVO_API QUVO_RESULT QuvoGetDeviceName(QUVO_WCHAR* buffer, uint32_t bufferSize, uint32_t* length)
{
    return Guarded([&] { return TheDevice().GetDeviceName(buffer, bufferSize, length); });
}

QUVO_API QUVO_RESULT QuvoGetDeviceCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetDeviceCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoGetPlaybackCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetPlaybackCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoSetDebugLevel(uint32_t level)
{
    return Guarded([&] { return TheDevice().SetDebugLevel(level); });
}

QUVO_API QUVO_RESULT QuvoSetDebugTarget(uint32_t target)
{
    return Guarded([&] { return TheDevice().SetDebugTarget(target); });
}

QUVO_API QUVO_RESULT QuvoSetFilters(const QUVO_GUID* splitter, const QUVO_GUID* audioDecoder,
                                    const QUVO_GUID* videoDecoder)
{
    return Guarded([&] { return TheDevice().SetFilters(splitter, audioDecoder, videoDecoder); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoCompressionStandards(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedVideoCompressionStandards(mask); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoCompressionStandard(uint32_t* standard)
{
    return Guarded([&] { return TheDevice().GetCurrentVideoCompressionStandard(standard); });
}

QUVO_API QUVO_RESULT QuvoSetVideoCompressionStandard(uint32_t standard)
{
    return Guarded([&] { return TheDevice().SetVideoCompressionStandard(standard); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoResolutions(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedVideoResolutions(mask); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoResolution(uint32_t* resolution)
{
    return Guarded([&] { return TheDevice().GetCurrentVideoResolution(resolution); });
}

QUVO_API QUVO_RESULT QuvoSetVideoResolution(uint32_t resolution)
{
    return Guarded([&] { return TheDevice().SetVideoResolution(resolution); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoBitrates(SupportedVideoBitrates* bitrates)
{
    return Guarded([&] { return TheDevice().GetSupportedVideoBitrates(bitrates); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoBitrate(VideoBitrate* bitrate)
{
    return Guarded([&] { return TheDevice().GetCurrentVideoBitrate(bitrate); });
}

QUVO_API QUVO_RESULT QuvoSetVideoBitrate(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate)
{
    return Guarded([&] { return TheDevice().SetVideoBitrate(rateMode, bitrate, peakBitrate); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentFrameRate(double* framesPerSecond)
{
    return Guarded([&] { return TheDevice().GetCurrentFrameRate(framesPerSecond); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioParameters(AudioParameters* parameters)
{
    return Guarded([&] { return TheDevice().GetSupportedAudioParameters(parameters); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioFormat(uint32_t* format)
{
    return Guarded([&] { return TheDevice().GetCurrentAudioFormat(format); });
}

QUVO_API QUVO_RESULT QuvoSetAudioFormat(uint32_t format)
{
    return Guarded([&] { return TheDevice().SetAudioFormat(format); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioBitrate(uint32_t* bitrate)
{
    return Guarded([&] { return TheDevice().GetCurrentAudioBitrate(bitrate); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioBitrates(uint32_t* bitrates)
{
    return Guarded([&] { return TheDevice().GetSupportedAudioBitrates(bitrates); });
}

QUVO_API QUVO_RESULT QuvoSetAudioBitrate(uint32_t bitrate)
{
    return Guarded([&] { return TheDevice().SetAudioBitrate(bitrate); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioSamplingRates(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedAudioSamplingRates(mask); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioSamplingRate(uint32_t* rate)
{
    return Guarded([&] { return TheDevice().GetCurrentAudioSamplingRate(rate); });
}

QUVO_API QUVO_RESULT QuvoSetAudioSamplingRate(uint32_t rate)
{
    return Guarded([&] { return TheDevice().SetAudioSamplingRate(rate); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedTVStandards(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedTVStandards(mask); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentTVStandard(uint32_t* standard)
{
    return Guarded([&] { return TheDevice().GetCurrentTVStandard(standard); });
}

QUVO_API QUVO_RESULT QuvoSetTVStandard(uint32_t standard)
{
    return Guarded([&] { return TheDevice().SetTVStandard(standard); });
}

QUVO_API QUVO_RESULT QuvoGetNumberOfLinesDetected(uint32_t* lines)
{
    return Guarded([&] { return TheDevice().GetNumberOfLinesDetected(lines); });
}

QUVO_API QUVO_RESULT QuvoIsSignalDetected(uint32_t* detected)
{
    return Guarded([&] { return TheDevice().IsSignalDetected(detected); });
}

QUVO_API QUVO_RESULT QuvoGetProcAmpCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetProcAmpCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoGetProcAmpRange(uint32_t property, ControlRange* range)
{
    return Guarded([&] { return TheDevice().GetProcAmpRange(property, range); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentProcAmpValue(uint32_t property, int32_t* value)
{
    return Guarded([&] { return TheDevice().GetCurrentProcAmpValue(property, value); });
}

QUVO_API QUVO_RESULT QuvoSetProcAmpValue(uint32_t property, int32_t value)
{
    return Guarded([&] { return TheDevice().SetProcAmpValue(property, value); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedInputChannels(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedInputChannels(mask); });
}

QUVO_API QUVO_RESULT QuvoSetInputChannel(uint32_t channel)
{
    return Guarded([&] { return TheDevice().SetInputChannel(channel); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentInputChannel(uint32_t* channel)
{
    return Guarded([&] { return TheDevice().GetCurrentInputChannel(channel); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedOutputChannels(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetSupportedOutputChannels(mask); });
}

QUVO_API QUVO_RESULT QuvoSetOutputChannel(uint32_t channel)
{
    return Guarded([&] { return TheDevice().SetOutputChannel(channel); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentOutputChannel(uint32_t channel)
{
    return Guarded([&] { return TheDevice().GetCurrentOutputChannel(channel); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentOutput(uint32_t* output)
{
    return Guarded([&] { return TheDevice().GetCurrentOutput(output); });
}

QUVO_API QUVO_RESULT QuvoSetCurrentOutput(uint32_t output)
{
    return Guarded([&] { return TheDevice().SetCurrentOutput(output); });
}

QUVO_API QUVO_RESULT QuvoEnableVCRSource(void)
{
    return Guarded([&] { return TheDevice().EnableVCRSource(); });
}

QUVO_API QUVO_RESULT QuvoDisableVCRSource(void)
{
    return Guarded([&] { return TheDevice().DisableVCRSource(); });
}

QUVO_API QUVO_RESULT QuvoEnableAnalogVideoDecoder(void)
{
    return Guarded([&] { return TheDevice().EnableAnalogVideoDecoder(); });
}

QUVO_API QUVO_RESULT QuvoDisableAnalogVideoDecoder(void)
{
    return Guarded([&] { return TheDevice().DisableAnalogVideoDecoder(); });
}

QUVO_API QUVO_RESULT QuvoGetAudioCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetAudioCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioPropertyRange(uint32_t property, ControlRange* range)
{
    return Guarded([&] { return TheDevice().GetSupportedAudioPropertyRange(property, range); });
}

QUVO_API QUVO_RESULT QuvoSetAudioPropertyValue(uint32_t property, int32_t value)
{
    return Guarded([&] { return TheDevice().SetAudioPropertyValue(property, value); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioPropertyValue(uint32_t property, int32_t* value)
{
    return Guarded([&] { return TheDevice().GetCurrentAudioPropertyValue(property, value); });
}

QUVO_API QUVO_RESULT QuvoGetAudioMuteCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetAudioMuteCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoSetAudioMute(uint32_t property, uint32_t value)
{
    return Guarded([&] { return TheDevice().SetAudioMute(property, value); });
}

QUVO_API QUVO_RESULT QuvoGetAudioMute(uint32_t property, uint32_t* value)
{
    return Guarded([&] { return TheDevice().GetAudioMute(property, value); });
}

QUVO_API QUVO_RESULT QuvoGetPreviewCapabilities(uint32_t* mask)
{
    return Guarded([&] { return TheDevice().GetPreviewCapabilities(mask); });
}

QUVO_API QUVO_RESULT QuvoSetPreviewMode(uint32_t mode)
{
    return Guarded([&] { return TheDevice().SetPreviewMode(mode); });
}

QUVO_API QUVO_RESULT QuvoSetPreviewWindow(QUVO_HWND window, int32_t left, int32_t top, int32_t width,
                                          int32_t height)
{
    return Guarded([&] { return TheDevice().SetPreviewWindow(window, left, top, width, height); });
}

QUVO_API QUVO_RESULT QuvoSetPreviewToFullScreen(uint32_t fullScreen)
{
    return Guarded([&] { return TheDevice().SetPreviewToFullScreen(fullScreen); });
}

QUVO_API QUVO_RESULT QuvoSetEventNotificationWindow(QUVO_HWND window, uint32_t message)
{
    return Guarded([&] { return TheDevice().SetEventNotificationWindow(window, message); });
}

QUVO_API QUVO_RESULT QuvoStartPreview(void)
{
    return Guarded([&] { return TheDevice().StartPreview(); });
}

QUVO_API QUVO_RESULT QuvoStopPreview(void)
{
    return Guarded([&] { return TheDevice().StopPreview(); });
}

QUVO_API QUVO_RESULT QuvoSetFileSizeLimit(uint32_t units256KiB)
{
    return Guarded([&] { return TheDevice().SetFileSizeLimit(units256KiB); });
}

QUVO_API QUVO_RESULT QuvoSetCaptureLimit(uint32_t kib)
{
    return Guarded([&] { return TheDevice().SetCaptureLimit(kib); });
}

QUVO_API QUVO_RESULT QuvoSetCaptureFileName(const char* fileName, uint32_t length)
{
    return Guarded([&] { return TheDevice().SetCaptureFileName(fileName, length); });
}

QUVO_API QUVO_RESULT QuvoStartCapture(void)
{
    return Guarded([&] { return TheDevice().StartCapture(); });
}

QUVO_API QUVO_RESULT QuvoStopCapture(void)
{
    return Guarded([&] { return TheDevice().StopCapture(); });
}

QUVO_API QUVO_RESULT QuvoStartRecording(void)
{
    return Guarded([&] { return TheDevice().StartRecording(); });
}

QUVO_API QUVO_RESULT QuvoStopRecording(void)
{
    return Guarded([&] { return TheDevice().StopRecording(); });
}

QUVO_API QUVO_RESULT QuvoGetBytesStreamed(uint64_t* bytes)
{
    return Guarded([&] { return TheDevice().GetBytesStreamed(bytes); });
}

QUVO_API QUVO_RESULT QuvoSetPlaybackFileName(const char* fileName, uint32_t length)
{
    return Guarded([&] { return TheDevice().SetPlaybackFileName(fileName, length); });
}

QUVO_API QUVO_RESULT QuvoSetPlaybackMode(uint32_t flags)
{
    return Guarded([&] { return TheDevice().SetPlaybackMode(flags); });
}

QUVO_API QUVO_RESULT QuvoStartPlayback(void)
{
    return Guarded([&] { return TheDevice().StartPlayback(); });
}

QUVO_API QUVO_RESULT QuvoStopPlayback(void)
{
    return Guarded([&] { return TheDevice().StopPlayback(); });
}

QUVO_API QUVO_RESULT QuvoGetPlaybackCurrentPos(uint32_t position)
{
    return Guarded([&] { return TheDevice().GetPlaybackCurrentPos(position); });
}

QUVO_API QUVO_RESULT QuvoGetPlaybackFileDuration(uint32_t duration)
{
    return Guarded([&] { return TheDevice().GetPlaybackFileDuration(duration); });
}

QUVO_API QUVO_RESULT QuvoSetPlaybackCurrentPos(uint32_t position)
{
    return Guarded([&] { return TheDevice().SetPlaybackCurrentPos(position); });
}

QUVO_API QUVO_RESULT QuvoGetGraphState(uint32_t* state)
{
    return Guarded([&] { return TheDevice().GetGraphState(state); });
}

QUVO_API QUVO_RESULT QuvoGetFilterGraphEvent(uint32_t* eventHandle)
{
    return Guarded([&] { return TheDevice().GetFilterGraphEvent(eventHandle); });
}

QUVO_API QUVO_RESULT QuvoGetCurrentGraphStatus(uint32_t* state, uint32_t timeoutMs)
{
    return Guarded([&] { return TheDevice().GetCurrentGraphStatus(state, timeoutMs); });
}

}  // extern "C"
