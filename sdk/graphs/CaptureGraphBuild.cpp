// Building the preview and capture graph. Each step either succeeds or ends the
// build with one log entry naming it; what exists by then stays in the graph for
// TearDownCaptureGraph.
#include <memory>

#include "interfaces/WriterControl.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {
namespace {

bool StepFailed(const char* step, HRESULT hr)
{
    TheLog().Log(kLogError, 3, "Capture Graph Build Failed On %s : 0x%X", step, static_cast<unsigned>(hr));
    return false;
}

// Creates the filter in-process and adds it to the graph under `name`; the result of
// adding is not looked at (a filter outside the graph fails its connection step).
HRESULT CreateFilter(EncoderDevice& device, const CLSID& clsid, const char16_t* name, ComPtr<IBaseFilter>& slot)
{
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, slot.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    if (!slot) return E_NOINTERFACE;
    device.graphBuilder->AddFilter(slot.Get(), name);
    return hr;
}

}  // namespace

bool BuildCaptureGraph(EncoderDevice& device, std::uint32_t buildMode)
{
    device.graphState = 0;
    if (!device.captureFilter || !device.graphBuilder) {
        TheLog().Log(kLogError, 3, "Capture Filter does not exists");
        return false;
    }
    const bool anyPreview = device.previewVideo || device.previewAudio;
    HRESULT hr;

    if (FAILED(hr = CreateFilter(device, CLSID_InfTee, u"Infinite Tee", device.teeFilter)))
        return StepFailed("Creating Infinite Tee", hr);
    if (FAILED(hr = CreateFilter(device, CLSID_TavrinFileWriter, u"Dump File", device.fileWriterFilter)))
        return StepFailed("Creating File Dump", hr);
    if (FAILED(hr = device.fileWriterFilter.As(std::addressof(device.writerControl))))
        return StepFailed("Creating MultiMpegFileWriter", hr);
    // A writer in the wrong mode still writes; the failure is logged and the build goes on.
    SetOnTheFlyMode(device, buildMode != kBuildCapture);

    if (anyPreview) {
        if (FAILED(hr = CreateFilter(device, CLSID_MPEG2Demultiplexer, u"Demux", device.demuxFilter)))
            return StepFailed("Creating MPEG2Demuxer", hr);
        if (FAILED(hr = device.demuxFilter.As(std::addressof(device.demuxControl))))
            return StepFailed("Creating MPEG2DemuxDemux", hr);
    }
    if (device.previewVideo) {
        if (FAILED(hr = CreateFilter(device, device.videoDecoderClsid, u"Video Decoder", device.videoDecoderFilter)))
            return StepFailed("Creating VideoDecoder", hr);
        if (FAILED(hr = CreateFilter(device, CLSID_VideoRenderer, u"Video Renderer", device.videoRendererFilter)))
            return StepFailed("Creating VideoRenderer", hr);
    }
    if (device.previewAudio) {
        if (FAILED(hr = CreateFilter(device, device.audioDecoderClsid, u"Audio Decoder", device.audioDecoderFilter)))
            return StepFailed("Creating AudioDecoder", hr);
        if (FAILED(hr = CreateFilter(device, CLSID_DSoundRender, u"Audio Renderer", device.audioRendererFilter)))
            return StepFailed("Creating AudioRenderer", hr);
    }

    if (FAILED(hr = ConnectFilters(device, device.captureFilter.Get(), device.teeFilter.Get())))
        return StepFailed("Connecting Capture - InfTee", hr);
    if (FAILED(hr = ConnectFilters(device, device.teeFilter.Get(), device.fileWriterFilter.Get())))
        return StepFailed("Connecting InfTee - FileDump", hr);
    if (!ApplyCaptureFileName(device)) return false;

    // "Video Out" is created and connected while it is the demultiplexer's only output
    // pin, so the decoder connection takes it; "Audio Out" then is the only free one.
    if (device.previewVideo) {
        CreateVideoOutPin(device);  // a missing pin shows as the failing connection below
        if (FAILED(hr = ConnectFilters(device, device.teeFilter.Get(), device.demuxFilter.Get())))
            return StepFailed("Connecting InfTee - MpegDemuxer", hr);
        if (FAILED(hr = ConnectFilters(device, device.demuxFilter.Get(), device.videoDecoderFilter.Get())))
            return StepFailed("Connecting MpegDemuxer - VideoDecoder", hr);
        if (FAILED(hr = ConnectFilters(device, device.videoDecoderFilter.Get(), device.videoRendererFilter.Get())))
            return StepFailed("Connecting VideoDecoder - Renderer", hr);
    }
    if (device.previewAudio) {
        CreateAudioOutPin(device);
        if (FAILED(hr = ConnectFilters(device, device.demuxFilter.Get(), device.audioDecoderFilter.Get())))
            return StepFailed("Connecting MpegDemux - AudioDecoder", hr);
        if (FAILED(hr = ConnectFilters(device, device.audioDecoderFilter.Get(), device.audioRendererFilter.Get())))
            return StepFailed("Connecting AudioDecoder - AudioRenderer", hr);
        SetAudioClock(device);
    }
    return true;
}

}  // namespace quvo::sdk
