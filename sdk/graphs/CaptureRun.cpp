// Starting and stopping the preview and capture graph, recording during a preview,
// and what the writer is told: file name, limits, byte count. Every operation tests
// for the device first.
#include <memory>

#include "platform/graph/ControlInterfaces.h"
#include "platform/win32/Text.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {
namespace {

// The texts that tell a preview start from a capture start.
struct StartTexts {
    const char* trace;
    const char* mediaControlFailed;
    const char* started;
};
constexpr StartTexts kPreviewTexts{"TvrStartPreview", "Start Preview Failed - Media Control Failed : 0x%X",
                                   "Preview Started..."};
constexpr StartTexts kCaptureTexts{"TvrStartCapture", "Start Capture Failed - Media Control failed : 0x%X",
                                   "Capture Started..."};

QUVO_RESULT StartGraph(EncoderDevice& device, std::uint32_t mode, const StartTexts& texts)
{
    Trace trace(texts.trace);
    if (!device.deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!BindCaptureFilter(device)) return QUVO_ERR_FAILED;
    if (!BuildCaptureGraph(device, mode)) {
        device.graphState = 5;
        TearDownCaptureGraph(device);
        return QUVO_ERR_FAILED;
    }
    device.graphState = 1;
    HRESULT hr = device.graphBuilder.As(std::addressof(device.mediaControl));
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, texts.mediaControlFailed, static_cast<unsigned>(hr));
        TearDownCaptureGraph(device);
        return QUVO_ERR_FAILED;
    }
    AttachVideoWindow(device);  // without it the renderer shows its own window, or none
    if (device.fullScreenChangePending) {
        ApplyFullScreenMode(device);
        device.fullScreenChangePending = 0;
    }
    hr = device.mediaControl->Run();
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, "Failed to RUN the Graph : 0x%X", static_cast<unsigned>(hr));
        device.graphState = 5;
        TearDownCaptureGraph(device);
        return QUVO_ERR_FAILED;
    }
    // S_FALSE: some filter is still on its way to running; the graph gets there.
    device.graphState = 4;
    device.graphMode = mode;
    TheLog().Log(kLogPlain, 5, "%s", texts.started);
    return QUVO_SUCCESS;
}

QUVO_RESULT StopGraph(EncoderDevice& device, const char* trace, const char* stopped)
{
    Trace traceLines(trace);
    if (!device.deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!device.mediaControl) return QUVO_ERR_FAILED;
    TearDownCaptureGraph(device);
    TheLog().Log(kLogPlain, 5, "%s", stopped);
    device.graphMode = 0;
    return QUVO_SUCCESS;
}

}  // namespace

QUVO_RESULT EncoderDevice::StartPreview() { return StartGraph(*this, kBuildPreview, kPreviewTexts); }

QUVO_RESULT EncoderDevice::StartCapture() { return StartGraph(*this, kBuildCapture, kCaptureTexts); }

QUVO_RESULT EncoderDevice::StopPreview() { return StopGraph(*this, "TvrStopPreview", "...Preview Stopped"); }

QUVO_RESULT EncoderDevice::StopCapture() { return StopGraph(*this, "TvrStopCapture", "...Capture Stopped"); }

QUVO_RESULT EncoderDevice::SetFileSizeLimit(uint32_t units256KiB)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    fileSizeLimit = units256KiB * 256u;  // kept to 32 bits
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetCaptureLimit(uint32_t kib)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    captureLimit = static_cast<uint64_t>(kib) * 1024u;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetCaptureFileName(const char* fileName, uint32_t)
{
    Trace trace("TvrSetCaptureFileName");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!fileName) return QUVO_ERR_INVALID_POINTER;
    if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, captureFileName, 260) == 0) return QUVO_ERR_FAILED;
    // Names typed for the Windows program use backslashes; the separator here is '/'.
    for (QUVO_WCHAR& c : captureFileName) {
        if (c == 0) break;
        if (c == u'\\') c = u'/';
    }
    if (graphState == 4 && graphMode == 1) {
        // A preview without a recording: the writer takes the name for the next one now.
        if (ApplyCaptureFileName(*this)) {
            TheLog().Log(kLogPlain, 1, "Set Capture File Name Successful");
            return QUVO_SUCCESS;
        }
        TheLog().Log(kLogError, 1, "Set Capture File Name on Recording Failed");
        return QUVO_ERR_FAILED;
    }
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::StartRecording()
{
    Trace trace("TvrStartRecording");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!writerControl) {
        TheLog().Log(kLogError, 1, "Start Recording Failed - File Writer not initialized");
        return QUVO_ERR_FAILED;
    }
    const HRESULT hr = writerControl->StartRecording();
    if (hr != S_OK) {
        TheLog().Log(kLogError, 1, "Start Recording Failed - Write to Disk Failed : 0x%X", static_cast<unsigned>(hr));
        return QUVO_ERR_FAILED;
    }
    graphMode = 4;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::StopRecording()
{
    Trace trace("TvrStopRecording");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!writerControl) {
        TheLog().Log(kLogError, 1, "Stop Recording Failed - File Writer Not Initialized");
        return QUVO_ERR_FAILED;
    }
    const HRESULT hr = writerControl->StopRecording();
    if (hr != S_OK) {
        TheLog().Log(kLogError, 1, "Stop Recording Failed - Write to Disk Failed : 0x%X", static_cast<unsigned>(hr));
        return QUVO_ERR_FAILED;
    }
    graphMode = 1;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetBytesStreamed(uint64_t* bytes)
{
    Trace trace("TvrGetBytesStreamed");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!writerControl) {
        TheLog().Log(kLogError, 3, "File Writer Failed to get Bytes Streamed");
        return QUVO_ERR_FAILED;
    }
    *bytes = writerControl->GetBytesStreamed();
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
