// The exported functions: each hands its arguments to the device operation of the
// same name and returns that operation's result. Nothing here can throw.
#include "sdk/EncoderDevice.h"

using quvo::sdk::TheDevice;

extern "C" {

QUVO_API QUVO_RESULT QuvoInitialize(uint32_t* status)
{
    return TheDevice().Initialize(status);
}

QUVO_API QUVO_RESULT QuvoUninitialize(void)
{
    return TheDevice().Uninitialize();
}

QUVO_API QUVO_RESULT QuvoGetSDKVersion(SdkVersion* version)
{
    return TheDevice().GetSDKVersion(version);
}

QUVO_API QUVO_RESULT QuvoGetDeviceName(QUVO_WCHAR* buffer, uint32_t bufferSize, uint32_t* length)
{
    return TheDevice().GetDeviceName(buffer, bufferSize, length);
}

QUVO_API QUVO_RESULT QuvoGetDeviceCapabilities(uint32_t* mask)
{
    return TheDevice().GetDeviceCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoGetPlaybackCapabilities(uint32_t* mask)
{
    return TheDevice().GetPlaybackCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoSetDebugLevel(uint32_t level)
{
    return TheDevice().SetDebugLevel(level);
}

QUVO_API QUVO_RESULT QuvoSetDebugTarget(uint32_t target)
{
    return TheDevice().SetDebugTarget(target);
}

QUVO_API QUVO_RESULT QuvoSetFilters(const QUVO_GUID* splitter, const QUVO_GUID* audioDecoder,
                                    const QUVO_GUID* videoDecoder)
{
    return TheDevice().SetFilters(splitter, audioDecoder, videoDecoder);
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoCompressionStandards(uint32_t* mask)
{
    return TheDevice().GetSupportedVideoCompressionStandards(mask);
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoCompressionStandard(uint32_t* standard)
{
    return TheDevice().GetCurrentVideoCompressionStandard(standard);
}

QUVO_API QUVO_RESULT QuvoSetVideoCompressionStandard(uint32_t standard)
{
    return TheDevice().SetVideoCompressionStandard(standard);
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoResolutions(uint32_t* mask)
{
    return TheDevice().GetSupportedVideoResolutions(mask);
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoResolution(uint32_t* resolution)
{
    return TheDevice().GetCurrentVideoResolution(resolution);
}

QUVO_API QUVO_RESULT QuvoSetVideoResolution(uint32_t resolution)
{
    return TheDevice().SetVideoResolution(resolution);
}

QUVO_API QUVO_RESULT QuvoGetSupportedVideoBitrates(SupportedVideoBitrates* bitrates)
{
    return TheDevice().GetSupportedVideoBitrates(bitrates);
}

QUVO_API QUVO_RESULT QuvoGetCurrentVideoBitrate(VideoBitrate* bitrate)
{
    return TheDevice().GetCurrentVideoBitrate(bitrate);
}

QUVO_API QUVO_RESULT QuvoSetVideoBitrate(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate)
{
    return TheDevice().SetVideoBitrate(rateMode, bitrate, peakBitrate);
}

QUVO_API QUVO_RESULT QuvoGetCurrentFrameRate(double* framesPerSecond)
{
    return TheDevice().GetCurrentFrameRate(framesPerSecond);
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioParameters(AudioParameters* parameters)
{
    return TheDevice().GetSupportedAudioParameters(parameters);
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioFormat(uint32_t* format)
{
    return TheDevice().GetCurrentAudioFormat(format);
}

QUVO_API QUVO_RESULT QuvoSetAudioFormat(uint32_t format)
{
    return TheDevice().SetAudioFormat(format);
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioBitrate(uint32_t* bitrate)
{
    return TheDevice().GetCurrentAudioBitrate(bitrate);
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioBitrates(uint32_t* bitrates)
{
    return TheDevice().GetSupportedAudioBitrates(bitrates);
}

QUVO_API QUVO_RESULT QuvoSetAudioBitrate(uint32_t bitrate)
{
    return TheDevice().SetAudioBitrate(bitrate);
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioSamplingRates(uint32_t* mask)
{
    return TheDevice().GetSupportedAudioSamplingRates(mask);
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioSamplingRate(uint32_t* rate)
{
    return TheDevice().GetCurrentAudioSamplingRate(rate);
}

QUVO_API QUVO_RESULT QuvoSetAudioSamplingRate(uint32_t rate)
{
    return TheDevice().SetAudioSamplingRate(rate);
}

QUVO_API QUVO_RESULT QuvoGetSupportedTVStandards(uint32_t* mask)
{
    return TheDevice().GetSupportedTVStandards(mask);
}

QUVO_API QUVO_RESULT QuvoGetCurrentTVStandard(uint32_t* standard)
{
    return TheDevice().GetCurrentTVStandard(standard);
}

QUVO_API QUVO_RESULT QuvoSetTVStandard(uint32_t standard)
{
    return TheDevice().SetTVStandard(standard);
}

QUVO_API QUVO_RESULT QuvoGetNumberOfLinesDetected(uint32_t* lines)
{
    return TheDevice().GetNumberOfLinesDetected(lines);
}

QUVO_API QUVO_RESULT QuvoIsSignalDetected(uint32_t* detected)
{
    return TheDevice().IsSignalDetected(detected);
}

QUVO_API QUVO_RESULT QuvoGetProcAmpCapabilities(uint32_t* mask)
{
    return TheDevice().GetProcAmpCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoGetProcAmpRange(uint32_t property, ControlRange* range)
{
    return TheDevice().GetProcAmpRange(property, range);
}

QUVO_API QUVO_RESULT QuvoGetCurrentProcAmpValue(uint32_t property, int32_t* value)
{
    return TheDevice().GetCurrentProcAmpValue(property, value);
}

QUVO_API QUVO_RESULT QuvoSetProcAmpValue(uint32_t property, int32_t value)
{
    return TheDevice().SetProcAmpValue(property, value);
}

QUVO_API QUVO_RESULT QuvoGetSupportedInputChannels(uint32_t* mask)
{
    return TheDevice().GetSupportedInputChannels(mask);
}

QUVO_API QUVO_RESULT QuvoSetInputChannel(uint32_t channel)
{
    return TheDevice().SetInputChannel(channel);
}

QUVO_API QUVO_RESULT QuvoGetCurrentInputChannel(uint32_t* channel)
{
    return TheDevice().GetCurrentInputChannel(channel);
}

QUVO_API QUVO_RESULT QuvoGetSupportedOutputChannels(uint32_t* mask)
{
    return TheDevice().GetSupportedOutputChannels(mask);
}

QUVO_API QUVO_RESULT QuvoSetOutputChannel(uint32_t channel)
{
    return TheDevice().SetOutputChannel(channel);
}

QUVO_API QUVO_RESULT QuvoGetCurrentOutputChannel(uint32_t channel)
{
    return TheDevice().GetCurrentOutputChannel(channel);
}

QUVO_API QUVO_RESULT QuvoGetCurrentOutput(uint32_t* output)
{
    return TheDevice().GetCurrentOutput(output);
}

QUVO_API QUVO_RESULT QuvoSetCurrentOutput(uint32_t output)
{
    return TheDevice().SetCurrentOutput(output);
}

QUVO_API QUVO_RESULT QuvoEnableVCRSource(void)
{
    return TheDevice().EnableVCRSource();
}

QUVO_API QUVO_RESULT QuvoDisableVCRSource(void)
{
    return TheDevice().DisableVCRSource();
}

QUVO_API QUVO_RESULT QuvoEnableAnalogVideoDecoder(void)
{
    return TheDevice().EnableAnalogVideoDecoder();
}

QUVO_API QUVO_RESULT QuvoDisableAnalogVideoDecoder(void)
{
    return TheDevice().DisableAnalogVideoDecoder();
}

QUVO_API QUVO_RESULT QuvoGetAudioCapabilities(uint32_t* mask)
{
    return TheDevice().GetAudioCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoGetSupportedAudioPropertyRange(uint32_t property, ControlRange* range)
{
    return TheDevice().GetSupportedAudioPropertyRange(property, range);
}

QUVO_API QUVO_RESULT QuvoSetAudioPropertyValue(uint32_t property, int32_t value)
{
    return TheDevice().SetAudioPropertyValue(property, value);
}

QUVO_API QUVO_RESULT QuvoGetCurrentAudioPropertyValue(uint32_t property, int32_t* value)
{
    return TheDevice().GetCurrentAudioPropertyValue(property, value);
}

QUVO_API QUVO_RESULT QuvoGetAudioMuteCapabilities(uint32_t* mask)
{
    return TheDevice().GetAudioMuteCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoSetAudioMute(uint32_t property, uint32_t value)
{
    return TheDevice().SetAudioMute(property, value);
}

QUVO_API QUVO_RESULT QuvoGetAudioMute(uint32_t property, uint32_t* value)
{
    return TheDevice().GetAudioMute(property, value);
}

QUVO_API QUVO_RESULT QuvoGetPreviewCapabilities(uint32_t* mask)
{
    return TheDevice().GetPreviewCapabilities(mask);
}

QUVO_API QUVO_RESULT QuvoSetPreviewMode(uint32_t mode)
{
    return TheDevice().SetPreviewMode(mode);
}

QUVO_API QUVO_RESULT QuvoSetPreviewWindow(QUVO_HWND window, int32_t left, int32_t top, int32_t width,
                                          int32_t height)
{
    return TheDevice().SetPreviewWindow(window, left, top, width, height);
}

QUVO_API QUVO_RESULT QuvoSetPreviewToFullScreen(uint32_t fullScreen)
{
    return TheDevice().SetPreviewToFullScreen(fullScreen);
}

QUVO_API QUVO_RESULT QuvoSetEventNotificationWindow(QUVO_HWND window, uint32_t message)
{
    return TheDevice().SetEventNotificationWindow(window, message);
}

QUVO_API QUVO_RESULT QuvoStartPreview(void)
{
    return TheDevice().StartPreview();
}

QUVO_API QUVO_RESULT QuvoStopPreview(void)
{
    return TheDevice().StopPreview();
}

QUVO_API QUVO_RESULT QuvoSetFileSizeLimit(uint32_t units256KiB)
{
    return TheDevice().SetFileSizeLimit(units256KiB);
}

QUVO_API QUVO_RESULT QuvoSetCaptureLimit(uint32_t kib)
{
    return TheDevice().SetCaptureLimit(kib);
}

QUVO_API QUVO_RESULT QuvoSetCaptureFileName(const char* fileName, uint32_t length)
{
    return TheDevice().SetCaptureFileName(fileName, length);
}

QUVO_API QUVO_RESULT QuvoStartCapture(void)
{
    return TheDevice().StartCapture();
}

QUVO_API QUVO_RESULT QuvoStopCapture(void)
{
    return TheDevice().StopCapture();
}

QUVO_API QUVO_RESULT QuvoStartRecording(void)
{
    return TheDevice().StartRecording();
}

QUVO_API QUVO_RESULT QuvoStopRecording(void)
{
    return TheDevice().StopRecording();
}

QUVO_API QUVO_RESULT QuvoGetBytesStreamed(uint64_t* bytes)
{
    return TheDevice().GetBytesStreamed(bytes);
}

QUVO_API QUVO_RESULT QuvoSetPlaybackFileName(const char* fileName, uint32_t length)
{
    return TheDevice().SetPlaybackFileName(fileName, length);
}

QUVO_API QUVO_RESULT QuvoSetPlaybackMode(uint32_t flags)
{
    return TheDevice().SetPlaybackMode(flags);
}

QUVO_API QUVO_RESULT QuvoStartPlayback(void)
{
    return TheDevice().StartPlayback();
}

QUVO_API QUVO_RESULT QuvoStopPlayback(void)
{
    return TheDevice().StopPlayback();
}

QUVO_API QUVO_RESULT QuvoGetPlaybackCurrentPos(uint32_t position)
{
    return TheDevice().GetPlaybackCurrentPos(position);
}

QUVO_API QUVO_RESULT QuvoGetPlaybackFileDuration(uint32_t duration)
{
    return TheDevice().GetPlaybackFileDuration(duration);
}

QUVO_API QUVO_RESULT QuvoSetPlaybackCurrentPos(uint32_t position)
{
    return TheDevice().SetPlaybackCurrentPos(position);
}

QUVO_API QUVO_RESULT QuvoGetGraphState(uint32_t* state)
{
    return TheDevice().GetGraphState(state);
}

QUVO_API QUVO_RESULT QuvoGetFilterGraphEvent(uint32_t* eventHandle)
{
    return TheDevice().GetFilterGraphEvent(eventHandle);
}

QUVO_API QUVO_RESULT QuvoGetCurrentGraphStatus(uint32_t* state, uint32_t timeoutMs)
{
    return TheDevice().GetCurrentGraphStatus(state, timeoutMs);
}

}  // extern "C"
