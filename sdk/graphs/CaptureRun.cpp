// Starting and stopping the preview and capture graph, recording during a preview,
// and what the writer is told: file name, limits, byte count. Every operation tests
// for the device first.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {
namespace {

bool Build(EncoderDevice& device, BuildMode mode) { return BuildCaptureGraph(device, mode); }

constexpr GraphStart kPreview{BuildMode::Preview, QUVO_GRAPH_MODE_PREVIEW, &Build, &TearDownCaptureGraph,
                              "Start Preview Failed - Media Control Failed : 0x%X", "Failed to RUN the Graph : 0x%X",
                              "Preview Started..."};
constexpr GraphStart kCapture{BuildMode::Capture, QUVO_GRAPH_MODE_CAPTURE, &Build, &TearDownCaptureGraph,
                              "Start Capture Failed - Media Control failed : 0x%X", "Failed to RUN the Graph : 0x%X",
                              "Capture Started..."};

}  // namespace

QUVO_RESULT EncoderDevice::StartPreview()
{
    Trace trace("TvrStartPreview");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return StartGraph(*this, kPreview);
}

QUVO_RESULT EncoderDevice::StartCapture()
{
    Trace trace("TvrStartCapture");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return StartGraph(*this, kCapture);
}

// Either stop stops whatever graph runs, a playback graph included (see
// TearDownCaptureGraph).
QUVO_RESULT EncoderDevice::StopPreview()
{
    Trace trace("TvrStopPreview");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return StopGraph(*this, &TearDownCaptureGraph, "...Preview Stopped");
}

QUVO_RESULT EncoderDevice::StopCapture()
{
    Trace trace("TvrStopCapture");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return StopGraph(*this, &TearDownCaptureGraph, "...Capture Stopped");
}

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
    if (!StoreFileName(fileName, captureFileName)) return QUVO_ERR_FAILED;
    if (graphState == QUVO_GRAPH_STATE_RUNNING && graphMode == QUVO_GRAPH_MODE_PREVIEW) {
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
    graphMode = QUVO_GRAPH_MODE_PREVIEW_RECORDING;
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
    graphMode = QUVO_GRAPH_MODE_PREVIEW;
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
