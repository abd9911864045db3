// Preview-window settings, playback settings and graph events. Every operation
// tests for the device first. The preview and capture run control is in
// graphs/CaptureRun.cpp.
//
// The playback graph is not part of this library yet: with a device, its start and
// stop operations answer QUVO_ERR_FAILED as a graph that cannot be built would.
#include <memory>

#include "platform/win32/Text.h"
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
    if (graphState == 4) {
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

QUVO_RESULT EncoderDevice::SetPlaybackFileName(const char* fileName, uint32_t)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!fileName) return QUVO_ERR_INVALID_POINTER;
    // Playback reads the one shared file-name field.
    if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, captureFileName, 260) == 0) return QUVO_ERR_FAILED;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetPlaybackMode(uint32_t flags)
{
    playbackToDevice = 0;
    playbackAudio = 0;
    playbackVideo = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    flags &= 0xFF;
    if (flags & 1) playbackToDevice = 1;
    if (flags & 2) playbackAudio = playbackVideo = 1;
    if (flags & 8) playbackVideo = 1;
    if (flags & 4) {
        playbackAudio = 1;
        return QUVO_SUCCESS;
    }
    return (flags & (1 | 2 | 8)) ? QUVO_SUCCESS : QUVO_ERR_INVALID_PARAMETER;
}

QUVO_RESULT EncoderDevice::GetPlaybackCurrentPos(uint32_t) { return QUVO_ERR_NOT_IMPLEMENTED; }
// The next two are aliases of GetPlaybackCurrentPos.
QUVO_RESULT EncoderDevice::SetPlaybackCurrentPos(uint32_t position)
{
    return EncoderDevice::GetPlaybackCurrentPos(position);
}
QUVO_RESULT EncoderDevice::GetPlaybackFileDuration(uint32_t duration)
{
    return EncoderDevice::GetPlaybackCurrentPos(duration);
}

QUVO_RESULT EncoderDevice::StartPlayback()
{
    Trace trace("TvrStartPlayback");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::StopPlayback()
{
    Trace trace("TvrStopPlayback");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
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
    *state = DecodeGraphEvent(*this, code);
    if (code == 7)
        TheLog().Log(kLogPlain, 5, "Event - Stream Error Still Playing : 0x%X", static_cast<unsigned>(param1));
    mediaEvent->FreeEventParams(code, param1, param2);
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
