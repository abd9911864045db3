// Start-up, shut-down and the queries that describe the device and the library.
#include <cstring>

#include "platform/com/Runtime.h"
#include "platform/win32/SystemCheck.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/PropertyLayout.h"
#include "sdk/graphs/CaptureGraph.h"
#include "sdk/graphs/PlaybackGraph.h"

namespace quvo::sdk {

QUVO_RESULT EncoderDevice::Initialize(uint32_t* status)
{
    *status = 0;
    uninitialized = 0;
    Trace trace("TvrInitialize");
    uint32_t mask = 0;
    auto fail = [&](uint32_t bit, const char* message) {
        mask |= bit;
        *status = mask;
        TheLog().Log(kLogError, 1, "%s", message);
        return QUVO_ERR_FAILED;
    };

    // The platform check: a kernel new enough for the media framework.
    if (!win32::IsSupportedKernel()) return fail(QUVO_INIT_BAD_WINDOWS, "Unsupported Windows Version.");
    // The video output check: the library the renderers draw with must load.
    if (!win32::CanLoadVideoOutputLibrary()) return fail(QUVO_INIT_BAD_DIRECTX, "Unsupported DirectX Version.");
    TheLog().Log(kLogPlain, 5, "DirectX Version 8 or Above");
    // Only a first start on this thread counts; S_FALSE means a second Initialize.
    if (CoInitialize(nullptr) != S_OK) return fail(QUVO_INIT_COM_FAILED, "COM Initialize Failed.");

    // Missing filters are warnings: the board can still be set up and recorded from.
    if (!CheckOwnFilters()) {
        mask |= QUVO_INIT_OWN_FILTERS_MISSING;
        TheLog().Log(kLogError, 1, "Tavrin Filters Not Registered");
    }
    if (!CheckMpegFilters()) {
        mask |= QUVO_INIT_MPEG_FILTERS_MISSING;
        TheLog().Log(kLogError, 1, "%s",
                     userFiltersSet == 1 ? "User Defined Filters Not Registered" : "Mpeg Filters Not Registered");
    }

    const std::uint32_t devices = DiscoverDevices();
    if (devices == 0) return fail(QUVO_INIT_DEVICE_NOT_FOUND, "Device Not Found");
    if (devices > 1) return fail(QUVO_INIT_MULTIPLE_DEVICES, "Multiple Instance Found");
    if (!OpenCaptureFilters()) return fail(QUVO_INIT_CAPTURE_FILTERS_FAILED, "Cannot Initialize Capture Filters");
    if (!GetDeviceProperties(kStartupReadMask))
        return fail(QUVO_INIT_CAPTURE_FILTERS_FAILED, "Cannot Get Device Parameters.");
    *status = mask;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::Uninitialize()
{
    if (graphState == QUVO_GRAPH_STATE_RUNNING && mediaControl) {
        mediaControl->Pause();
        mediaControl->Stop();
    }
    // Also a graph that is no longer running: a playback whose end EC_COMPLETE
    // reported (state 2) is still built until it is torn down.
    if (graphMode == QUVO_GRAPH_MODE_PREVIEW || graphMode == QUVO_GRAPH_MODE_CAPTURE
        || graphMode == QUVO_GRAPH_MODE_PREVIEW_RECORDING)
        TearDownCaptureGraph(*this);
    else if (graphMode == QUVO_GRAPH_MODE_PLAYBACK)
        TearDownPlaybackGraph(*this);
    RemovePlaybackLeftovers(*this);  // what a capture stop left of a playback graph
    deviceFound = 0;
    mediaEvent.Reset();
    if (captureFilter) {
        RemoveDownstream(captureFilter.Get());
        if (graphBuilder) graphBuilder->RemoveFilter(captureFilter.Get());
        captureFilter.Reset();
    }
    graphBuilder.Reset();
    captureGraphBuilder.Reset();
    videoDecoderControl.Reset();
    procAmp.Reset();
    deviceMoniker.Reset();

    graphState = QUVO_GRAPH_STATE_NONE;
    CoUninitialize();
    uninitialized = 1;
    TheLog().Log(kLogPlain, 1, "...Device Uninitialized...");
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetDeviceName(QUVO_WCHAR* buffer, uint32_t bufferSize, uint32_t* length)
{
    Trace trace("TvrGetDeviceName");
    *length = 0;
    if (!deviceFound) {
        TheLog().Log(kLogError, 2, "Failed to Get Device Name - Device Not Found");
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    uint32_t n = 0;
    while (n < 259 && deviceNameW[n] != 0) ++n;
    *length = n;
    if (!buffer) {
        TheLog().Log(kLogError, 2, "Failed to get device name - Invalid Pointer");
        return QUVO_ERR_INVALID_POINTER;
    }
    if (bufferSize < n + 1) {
        TheLog().Log(kLogError, 2, "Failed to get device name - Out of memory");
        return QUVO_ERR_BUFFER_TOO_SMALL;
    }
    std::memcpy(buffer, deviceNameW, n * sizeof(QUVO_WCHAR));
    buffer[n] = 0;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSDKVersion(SdkVersion* version)
{
    version->major = 1;
    version->minor = 0;
    version->build = 1;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetDeviceCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 15;
    return QUVO_SUCCESS;
}

// Alias of GetDeviceCapabilities.
QUVO_RESULT EncoderDevice::GetPlaybackCapabilities(uint32_t* mask)
{
    return EncoderDevice::GetDeviceCapabilities(mask);
}

QUVO_RESULT EncoderDevice::Reserved1(uint32_t) { return QUVO_ERR_NOT_IMPLEMENTED; }
QUVO_RESULT EncoderDevice::Reserved2(uint32_t, uint32_t) { return QUVO_ERR_NOT_IMPLEMENTED; }
QUVO_RESULT EncoderDevice::Reserved3(uint32_t) { return QUVO_ERR_NOT_IMPLEMENTED; }

QUVO_RESULT EncoderDevice::SetDebugLevel(uint32_t level)
{
    TheLog().SetLevel(level);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetDebugTarget(uint32_t target)
{
    TheLog().SetTarget(target);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetFilters(const QUVO_GUID* splitter, const QUVO_GUID* audioDecoder,
                                      const QUVO_GUID* videoDecoder)
{
    static_assert(sizeof(QUVO_GUID) == sizeof(GUID));
    std::memcpy(&splitterClsid, splitter, sizeof(GUID));
    std::memcpy(&audioDecoderClsid, audioDecoder, sizeof(GUID));
    std::memcpy(&videoDecoderClsid, videoDecoder, sizeof(GUID));
    userFiltersSet = 1;
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
