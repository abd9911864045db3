// What the writer filter is told at build time (and by QuvoSetCaptureFileName during
// a preview): its mode, its file name and its two limits.
#include <memory>

#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {

bool SetOnTheFlyMode(WriterControl* writer, bool on)
{
    if (!writer) {
        TheLog().Log(kLogError, 4, "Failed to change Capture on fly - File Writer not Created");
        return false;
    }
    const HRESULT hr = on ? writer->EnableCaptureOnTheFly() : writer->DisableCaptureOnTheFly();
    if (hr != S_OK) {
        TheLog().Log(kLogError, 4, "Failed to change Capture on fly - File Writer failed : 0x%X",
                     static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

bool ApplyCaptureFileName(EncoderDevice& device)
{
    if (!device.fileWriterFilter) {
        TheLog().Log(kLogError, 4, "Failed to set file name - Dump Filter not created");
        return false;
    }
    ComPtr<IFileSinkFilter> sink;
    HRESULT hr = device.fileWriterFilter.As(std::addressof(sink));
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 4, "Failed to set file name - cannot query Sink Filter : 0x%X",
                     static_cast<unsigned>(hr));
        return false;
    }
    hr = sink->SetFileName(device.captureFileName, nullptr);
    sink.Reset();
    if (hr != S_OK) {
        TheLog().Log(kLogError, 5, "Failed to set file name - Set File Name failed : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    // A fragment limit that cannot be set leaves the writer's own.
    ApplyFileSizeLimit(device.writerControl.Get(), device.fileSizeLimit);
    return ApplyCaptureLimit(device.writerControl.Get(), device.captureLimit);
}

bool ApplyFileSizeLimit(WriterControl* writer, std::uint32_t kib)
{
    if (!writer) {
        TheLog().Log(kLogWarning, 5, "Failed to set file size limit - File Interface not created");
        return false;
    }
    const HRESULT hr = writer->SetFileSizeLimit(kib);
    if (hr != S_OK) {
        TheLog().Log(kLogWarning, 5, "Failed to set file size limit : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

bool ApplyCaptureLimit(WriterControl* writer, std::uint64_t bytes)
{
    if (!writer) {
        TheLog().Log(kLogWarning, 5, "Failed to set capture size limit - File Interface not created");
        return false;
    }
    const HRESULT hr = writer->SetCaptureLimit(bytes);
    if (hr != S_OK) {
        TheLog().Log(kLogWarning, 5, "Failed to set Capture limit : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

}  // namespace quvo::sdk
