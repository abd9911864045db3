// Preview-window settings and graph events. Every operation tests for the device
// first. The run control of the graphs is in graphs/CaptureRun.cpp and
// graphs/PlaybackRun.cpp.
#include <memory>

#include "platform/win32/Window.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/GraphEvents.h"

namespace quvo::sdk {

QUVO_RESULT EncoderDevice::SetPreviewWindow(QUVO_HWND window, int32_t left, int32_t top, int32_t width,
                                            int32_t height)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!IsWindow(static_cast<HWND>(window))) return QUVO_ERR_INVALID_PARAMETER;
    previewWindow = window;
    previewLeft = left;
    previewTop = top;
    previewWidth = width;
    previewHeight = height;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetPreviewToFullScreen(uint32_t fullScreen)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (graphState == QUVO_GRAPH_STATE_RUNNING) {
        TheLog().Log(kLogWarning, 1, "Full screen mode cannot be set while Graph is running");
        return QUVO_ERR_FAILED;
    }
    fullScreenMode = fullScreen == 1 ? -1 : 0;
    fullScreenChangePending = 1;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetEventNotificationWindow(QUVO_HWND window, uint32_t message)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!IsWindow(static_cast<HWND>(window))) return QUVO_ERR_INVALID_PARAMETER;
    if (!graphBuilder) return QUVO_ERR_FAILED;
    HRESULT hr = graphBuilder.As(std::addressof(mediaEvent));
    if (FAILED(hr)) {
        TheLog().Log(kLogWarning, 5, "Cannot create Event Notification - MediaEvent not created : 0x%X",
                     static_cast<unsigned>(hr));
        return QUVO_ERR_FAILED;
    }
    hr = mediaEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(window), static_cast<LONG>(message), 0);
    if (FAILED(hr)) {
        TheLog().Log(kLogWarning, 5, "Failed to set notification for specifed window : 0x%X",
                     static_cast<unsigned>(hr));
        return QUVO_ERR_FAILED;
    }
    notifyWindow = window;
    notifyMessage = message;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetGraphState(uint32_t* state)
{
    if (!deviceFound) {
        *state = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *state = graphState;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetFilterGraphEvent(uint32_t* eventHandle)
{
    Trace trace("TvrGetFilterGraphEvent");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!mediaEvent || !eventHandle) return QUVO_ERR_FAILED;
    OAEVENT handle = 0;
    HRESULT hr = mediaEvent->GetEventHandle(&handle);
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, "Get Event Handle from Media Event Failed : 0x%X", static_cast<unsigned>(hr));
        return QUVO_ERR_FAILED;
    }
    *eventHandle = static_cast<uint32_t>(handle);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentGraphStatus(uint32_t* state, uint32_t timeoutMs)
{
    *state = 0;
    Trace trace("TvrGetCurrentGraphStatus");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!mediaEvent) return QUVO_ERR_FAILED;
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    HRESULT hr = mediaEvent->GetEvent(&code, &param1, &param2, static_cast<LONG>(timeoutMs));
    if (FAILED(hr)) {
        // No event within the time-out (or none to be had): the state stands.
        *state = graphState;
        TheLog().Log(kLogPlain, 5, "No event in event queue");
        return QUVO_SUCCESS;
    }
    *state = DecodeGraphEvent(*this, code, param1);
    if (code == EC_STREAM_ERROR_STILLPLAYING)
        TheLog().Log(kLogPlain, 5, "Event - Stream Error Still Playing : 0x%X", static_cast<unsigned>(param1));
    mediaEvent->FreeEventParams(code, param1, param2);
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
